// The test harness itself: scripted modals, unexpected modals, fresh homes.
#include "DialogBase.h"
#include "Modal.h"
#include "ModalScript.h"
#include "Services.h"
#include "TestHome.h"

#include <QDir>
#include <QApplication>
#include <QFile>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

using namespace platform;
using harness::ModalScript;

namespace {

class NamedDialog : public DialogBase {
public:
    explicit NamedDialog(const QString& name, QWidget* parent = nullptr) : DialogBase(parent) { setObjectName(name); }
};

} // namespace

TEST(ModalScriptTest, UnexpectedModalsFailAndGetACancelLikeAnswer)
{
    QStringList failures;
    ModalScript modals;
    modals.setReporter([&](const QString& f) { failures << f; });
    EXPECT_EQ(messageBox(nullptr, "종료하시겠습니까?", "종료 확인", MB_YESNO), IDNO);
    EXPECT_EQ(messageBox(nullptr, "계속?", "확인", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(messageBox(nullptr, "완료", "확인", MB_OK), IDOK);
    NamedDialog dlg("keypad");
    EXPECT_EQ(execModal(&dlg), QDialog::Rejected);
    ASSERT_EQ(failures.size(), 4);
    EXPECT_TRUE(failures[0].contains("종료하시겠습니까?")) << failures[0].toStdString();
    EXPECT_TRUE(failures[0].contains("종료 확인"));
    EXPECT_TRUE(failures[3].contains("keypad")) << failures[3].toStdString();
    EXPECT_FALSE(dlg.isVisible());
}

TEST(ModalScriptTest, ExpectationsAreUsedInOrderAndMismatchesFail)
{
    QStringList failures;
    ModalScript modals;
    modals.setReporter([&](const QString& f) { failures << f; });
    modals.expectMessage("첫째", "확인", IDOK).expectMessage("둘째", "오류", IDOK);
    // Second message first: a failure, and the expectation stays.
    EXPECT_EQ(messageBox(nullptr, "둘째", "오류", MB_OK), IDOK);
    ASSERT_EQ(failures.size(), 1);
    EXPECT_TRUE(failures[0].contains("첫째")) << failures[0].toStdString();
    EXPECT_EQ(modals.pending(), 2);
    messageBox(nullptr, "첫째", "확인", MB_OK);
    messageBox(nullptr, "둘째", "오류", MB_OK);
    EXPECT_EQ(failures.size(), 1);
    EXPECT_EQ(modals.pending(), 0);
    EXPECT_EQ(modals.seen().size(), 3);
}

TEST(ModalScriptTest, CaptionMustMatchAndContainingMatchesPartOfText)
{
    QStringList failures;
    ModalScript modals;
    modals.setReporter([&](const QString& f) { failures << f; });
    modals.expectMessage("자료 수신 오류", "오류", IDOK);
    messageBox(nullptr, "자료 수신 오류", "확인", MB_OK);
    EXPECT_EQ(failures.size(), 1);
    modals.verify();
    EXPECT_EQ(failures.size(), 2);
    failures.clear();
    modals.expectMessageContaining("BIZ06", "오류", IDOK);
    messageBox(nullptr, "BIZ06:세션이 종료되었습니다", "오류", MB_OK);
    EXPECT_TRUE(failures.isEmpty());
}

TEST(ModalScriptTest, UnusedExpectationsFailAtTheEnd)
{
    QStringList failures;
    {
        ModalScript modals;
        modals.setReporter([&](const QString& f) { failures << f; });
        modals.expectMessage("안 나옴", "확인", IDOK).expectDialog("keypad", QDialog::Accepted);
    }
    ASSERT_EQ(failures.size(), 2);
    EXPECT_TRUE(failures[0].contains("안 나옴"));
    EXPECT_TRUE(failures[1].contains("keypad"));
}

TEST(ModalScriptTest, AnswerThatIsNotAButtonOfTheBoxFails)
{
    QStringList failures;
    ModalScript modals;
    modals.setReporter([&](const QString& f) { failures << f; });
    modals.expectMessage("완료", "확인", IDYES);
    EXPECT_EQ(messageBox(nullptr, "완료", "확인", MB_OK), IDOK);
    EXPECT_EQ(failures.size(), 1);
}

TEST(ModalScriptTest, NestedModalsOfADrivenDialogTakeTheNextExpectations)
{
    ModalScript modals;
    NamedDialog dlg("settings");
    modals.expectDialog("settings", [](QDialog* d) {
        const int answer = messageBox(d, "저장할까요?", "확인", MB_YESNO);
        return answer == IDYES ? QDialog::Accepted : QDialog::Rejected;
    });
    modals.expectMessage("저장할까요?", "확인", IDYES);
    EXPECT_EQ(execModal(&dlg), QDialog::Accepted);
    EXPECT_EQ(modals.pending(), 0);
}

TEST(ModalScriptTest, ScriptsNestAndRestoreTheOuterHandler)
{
    ModalScript outer;
    outer.expectMessage("바깥", "", IDOK);
    {
        ModalScript inner;
        inner.expectMessage("안쪽", "", IDOK);
        messageBox(nullptr, "안쪽", "확인");
    }
    messageBox(nullptr, "바깥", "확인");
}

TEST(HarnessDefaults, ModalWithoutScriptFailsTheTest)
{
    EXPECT_NONFATAL_FAILURE(
        {
            const int answer = messageBox(nullptr, "예상 밖", "확인", MB_YESNO);
            EXPECT_EQ(answer, IDNO);
        },
        "unexpected modal");
}

TEST(HarnessDefaults, EveryTestHasItsOwnHome)
{
    EXPECT_FALSE(harness::testHome().isEmpty());
    EXPECT_EQ(homeFolder(), QDir(harness::testHome()).absolutePath());
    EXPECT_TRUE(QDir(homeFolder()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    QFile marker(homeFolder() + "/marker");
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    qputenv("TVPB_TEST_PREVIOUS_HOME", homeFolder().toLocal8Bit());
}

TEST(HarnessDefaults, TheNextTestGetsAnotherEmptyHome)
{
    const QString previous = qEnvironmentVariable("TVPB_TEST_PREVIOUS_HOME");
    if (previous.isEmpty())
        GTEST_SKIP() << "runs after EveryTestHasItsOwnHome";
    EXPECT_NE(homeFolder(), previous);
    EXPECT_FALSE(QDir(previous).exists()) << "the previous test's home is removed";
    EXPECT_FALSE(QFile::exists(homeFolder() + "/marker"));
}

TEST(HarnessDefaults, InjectedServicesAreResetBetweenTests_Set)
{
    setClock([] { return QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)); });
    setRandomSource([](int low, int) { return low; });
    playSound("InfBeg");
    setInputPanelVisible(true);
    beginWait();
}

TEST(HarnessDefaults, InjectedServicesAreResetBetweenTests_Check)
{
    EXPECT_NE(now().date(), QDate(2001, 2, 3));
    EXPECT_TRUE(soundsPlayed().isEmpty());
    EXPECT_FALSE(inputPanelVisible());
    EXPECT_FALSE(isWaiting());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    bool varied = false;
    for (int i = 0; i < 64 && !varied; ++i)
        varied = randomInt(0, 1000) != 0;
    EXPECT_TRUE(varied);
}
