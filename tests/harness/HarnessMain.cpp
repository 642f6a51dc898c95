// The main of every GUI test program: an offscreen QApplication with the Korean
// translation and the device font, a fresh TVPB_HOME for every test, and a modal
// handler that fails the test on any modal it did not expect.
#include "ChildProcess.h"
#include "ModalScript.h"
#include "TestHome.h"

#include "Deploy.h"
#include "Modal.h"
#include "Services.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace harness {
namespace {

QString g_home;

class FreshHomeListener : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo&) override
    {
        previousHome_ = qgetenv("TVPB_HOME");
        hadHome_ = qEnvironmentVariableIsSet("TVPB_HOME");
        dir_ = std::make_unique<QTemporaryDir>();
        g_home = dir_->path();
        qputenv("TVPB_HOME", g_home.toLocal8Bit());
        platform::resetServices();
        platform::Deploy::reload();
        platform::setModalHandler(&rejectUnexpectedModal);
    }

    void OnTestEnd(const testing::TestInfo&) override
    {
        platform::setModalHandler(&rejectUnexpectedModal);
        platform::resetServices();
        // Widgets a test left to deleteLater go now, before its home folder goes.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        dir_.reset();
        g_home.clear();
        if (hadHome_)
            qputenv("TVPB_HOME", previousHome_);
        else
            qunsetenv("TVPB_HOME");
    }

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QByteArray previousHome_;
    bool hadHome_ = false;
};

} // namespace

QString testHome()
{
    return g_home;
}

} // namespace harness

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Bitmaps, sounds and module libraries are found in the build's program folder.
    if (qEnvironmentVariableIsEmpty("TVPB_PROGRAM_DIR") && !qEnvironmentVariableIsEmpty("TVPB_BIN"))
        qputenv("TVPB_PROGRAM_DIR", qgetenv("TVPB_BIN"));

    // Started again by a test as its second process (see ChildProcess.h).
    if (argc >= 3 && qstrcmp(argv[1], "--tvpb-child") == 0) {
        QApplication app(argc, argv);
        platform::installKoreanTranslation(app);
        int childExit = 0;
        harness::runChildModeFromArgs(argc, argv, &childExit);
        return childExit;
    }

    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    platform::installKoreanTranslation(app);
    platform::applyDeviceFont(app);
    testing::UnitTest::GetInstance()->listeners().Append(new harness::FreshHomeListener);
    return RUN_ALL_TESTS();
}
