// The device frame and where screens, pop-ups and message boxes go.
#include "DeviceFrame.h"
#include "DialogBase.h"
#include "Modal.h"
#include "ModalScript.h"
#include "Screenshot.h"
#include "Services.h"
#include "TestHome.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <QTextDocumentFragment>

using namespace platform;

namespace {

const QRect kWorkArea(0, kTitleBarHeight, kScreenWidth, kWorkAreaHeight);

QRect rectOnFrame(QWidget* w, DeviceFrame& frame)
{
    return QRect(w->mapTo(&frame, QPoint(0, 0)), w->size());
}

class Screen : public DialogBase {
public:
    explicit Screen(const QString& name, QWidget* parent = nullptr) : DialogBase(parent)
    {
        setObjectName(name);
        body = new QWidget(this);
        body->setGeometry(0, 40, 240, 200);
        button = new QPushButton("확인", body);
        button->setGeometry(10, 10, 45, 24);
    }
    QWidget* body;
    QPushButton* button;
};

} // namespace

TEST(DeviceFrameLayout, TitleBarOverWorkArea)
{
    DeviceFrame frame;
    EXPECT_EQ(DeviceFrame::instance(), &frame);
    EXPECT_EQ(frame.size(), QSize(240, 320));
    EXPECT_EQ(frame.titleBar()->geometry(), QRect(0, 0, 240, 26));
    EXPECT_EQ(frame.workArea()->geometry(), QRect(0, 26, 240, 294));
    auto* icon = frame.findChild<QLabel*>("titleIcon");
    auto* title = frame.findChild<QLabel*>("titleImage");
    ASSERT_TRUE(icon && title);
    EXPECT_EQ(icon->geometry(), QRect(0, 0, 26, 26));
    EXPECT_EQ(title->geometry(), QRect(27, 0, 213, 26));
}

TEST(DeviceFrameLayout, InstanceIsClearedWithTheFrame)
{
    {
        DeviceFrame frame;
        EXPECT_EQ(DeviceFrame::instance(), &frame);
    }
    EXPECT_EQ(DeviceFrame::instance(), nullptr);
}

TEST(DeviceFrameLayout, TitleImagesFromFilesAndPlainBarWithoutThem)
{
    DeviceFrame frame;
    const QString iconFile = harness::testHome() + "/icon.png";
    QImage img(26, 26, QImage::Format_RGB32);
    img.fill(Qt::red);
    ASSERT_TRUE(img.save(iconFile));
    frame.setTitleImages(iconFile, harness::testHome() + "/missing.bmp");
    auto* icon = frame.findChild<QLabel*>("titleIcon");
    auto* title = frame.findChild<QLabel*>("titleImage");
    EXPECT_FALSE(icon->pixmap().isNull());
    EXPECT_TRUE(title->pixmap().isNull());
    frame.setCaption("타브린은행 PDA 뱅킹");
    EXPECT_EQ(frame.windowTitle(), "타브린은행 PDA 뱅킹");
}

TEST(Placement, ScreenAndPopUpsCoverTheWorkAreaInOneWindow)
{
    DeviceFrame frame;
    frame.show();
    Screen shell("shell");
    shell.show();
    EXPECT_FALSE(shell.isWindow());
    EXPECT_EQ(shell.parentWidget(), frame.workArea());
    EXPECT_EQ(rectOnFrame(&shell, frame), kWorkArea);

    Screen module("module", &shell);
    module.show();
    EXPECT_EQ(module.parentWidget(), &shell) << "a pop-up stays owned by its screen";
    EXPECT_EQ(rectOnFrame(&module, frame), kWorkArea);

    // A pop-up opened from a widget inside the module goes over the whole module.
    Screen detail("detail", module.body);
    detail.show();
    EXPECT_EQ(detail.parentWidget(), &module);
    EXPECT_EQ(rectOnFrame(&detail, frame), kWorkArea);
    EXPECT_EQ(detail.window(), &frame);

    // The newest pop-up is on top: a tap at its button's place reaches it.
    const QPoint onButton = detail.button->mapTo(&frame, QPoint(5, 5));
    EXPECT_EQ(frame.childAt(onButton), detail.button);
    QSignalSpy detailClicks(detail.button, &QPushButton::clicked);
    QSignalSpy moduleClicks(module.button, &QPushButton::clicked);
    QTest::mouseClick(frame.childAt(onButton), Qt::LeftButton);
    EXPECT_EQ(detailClicks.count(), 1);
    EXPECT_EQ(moduleClicks.count(), 0);

    harness::saveShot(&detail, "platform_stacked_popups");
    detail.hide();
    EXPECT_EQ(frame.childAt(onButton), module.button);
}

TEST(Placement, PlacingIsRepeatableAndShowsTheFrame)
{
    DeviceFrame frame;
    Screen screen("screen");
    screen.show();
    EXPECT_TRUE(frame.isVisible());
    EXPECT_TRUE(screen.isVisible());
    screen.hide();
    screen.show();
    EXPECT_EQ(screen.parentWidget(), frame.workArea());
    EXPECT_EQ(rectOnFrame(&screen, frame), kWorkArea);
}

TEST(Placement, WithoutAFrameAScreenIsAWindowOfWorkAreaSize)
{
    ASSERT_EQ(DeviceFrame::instance(), nullptr);
    Screen screen("screen");
    screen.show();
    EXPECT_TRUE(screen.isWindow());
    EXPECT_EQ(screen.size(), QSize(240, 294));
    QWidget plain;
    placeOnWorkArea(&plain);
    EXPECT_TRUE(plain.isWindow());
    EXPECT_EQ(plain.size(), QSize(240, 294));
}

TEST(Placement, BareWorkAreaTapIsReported)
{
    DeviceFrame frame;
    frame.show();
    QSignalSpy bare(&frame, &DeviceFrame::bareTapped);
    QTest::mouseClick(frame.workArea(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
    EXPECT_EQ(bare.count(), 1);
    // A tap on the title bar is not one.
    QTest::mouseClick(frame.titleBar(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 10));
    EXPECT_EQ(bare.count(), 1);

    // With a screen over it, a tap on the screen's empty part does not reach the work area.
    Screen screen("screen");
    screen.show();
    QTest::mouseClick(&screen, Qt::LeftButton, Qt::NoModifier, QPoint(200, 280));
    EXPECT_EQ(bare.count(), 1);
}

TEST(Placement, MessageBoxIsCentredOverTheFrame)
{
    DeviceFrame frame;
    frame.move(100, 50);
    frame.show();
    QPoint boxCentre;
    harness::ModalScript modals;
    modals.expectMessage("수신 자료에 오류(Null)가 검출되었습니다", "오류", [&](ModalRequest& r) {
        boxCentre = r.box->frameGeometry().center();
        harness::saveShot(&frame, "platform_message_over_frame");
        return IDOK;
    });
    messageBox(&frame, "수신 자료에 오류(Null)가 검출되었습니다", "오류", MB_OK | MB_ICONWARNING);
    const QPoint frameCentre = frame.frameGeometry().center();
    EXPECT_LE((boxCentre - frameCentre).manhattanLength(), 4)
        << boxCentre.x() << "," << boxCentre.y() << " vs " << frameCentre.x() << "," << frameCentre.y();
}

TEST(Placement, LongMessageWrapsWithinTheScreenWidth)
{
    DeviceFrame frame;
    frame.show();
    const QString text = QStringLiteral("PDA에 설치된 무선모뎀이 없습니다. 먼저 무선모뎀을 설치하신후 접속을 시도하시기 바랍니다. "
                                        "모선모뎀에 관한 문의사항은 각 제조사로 연락하세요.");
    QSize size;
    QString shown;
    harness::ModalScript modals;
    modals.expectMessage(text, "무선모뎀설치 요망", [&](ModalRequest& r) {
        size = r.box->size();
        shown = QTextDocumentFragment::fromHtml(r.box->text()).toPlainText();
        EXPECT_EQ(r.box->property("tvpbText").toString(), text);
        return IDOK;
    });
    messageBox(&frame, text, "무선모뎀설치 요망", MB_OK | MB_ICONINFORMATION);
    EXPECT_LE(size.width(), kScreenWidth);
    // The lines fill the screen's width rather than a narrow column.
    EXPECT_GE(size.width(), kScreenWidth - 40);
    EXPECT_GT(shown.count('\n'), 1);
    EXPECT_LE(shown.count('\n'), 7);
    EXPECT_EQ(QString(shown).replace('\n', ' ').simplified(), text.simplified()) << "only line breaks are added";
}

TEST(Screenshots, WrittenOnlyWhenAskedFor)
{
    DeviceFrame frame;
    Screen screen("screen");
    screen.show();
    const QByteArray userShots = qgetenv("TVPB_SHOTS");
    qunsetenv("TVPB_SHOTS");
    EXPECT_FALSE(harness::saveShot(&screen, "none"));
    const QString dir = harness::testHome() + "/shots";
    qputenv("TVPB_SHOTS", dir.toLocal8Bit());
    EXPECT_TRUE(harness::saveShot(&screen, "device"));
    if (userShots.isEmpty())
        qunsetenv("TVPB_SHOTS");
    else
        qputenv("TVPB_SHOTS", userShots);
    const QImage shot(dir + "/device.png");
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.size() / shot.devicePixelRatio(), QSize(240, 320));
}

TEST(Placement, RealModalLoopsNestOnTheFrame)
{
    setModalHandler({});
    DeviceFrame frame;
    frame.show();
    Screen module("module");
    Screen detail("detail", &module);
    bool detailWasOnTop = false;
    int detailResult = -1;
    QObject::connect(module.button, &QPushButton::clicked, &module, [&] {
        QTimer::singleShot(0, &detail, [&] {
            const QPoint onButton = detail.button->mapTo(&frame, QPoint(5, 5));
            detailWasOnTop = detail.isVisible() && frame.childAt(onButton) == detail.button;
            QTest::mouseClick(detail.button, Qt::LeftButton);
        });
        detailResult = detail.doModal();
        module.accept();
    });
    QObject::connect(detail.button, &QPushButton::clicked, &detail, &QDialog::accept);
    QTimer::singleShot(0, &module, [&] { QTest::mouseClick(module.button, Qt::LeftButton); });
    EXPECT_EQ(module.doModal(), QDialog::Accepted);
    EXPECT_EQ(detailResult, QDialog::Accepted);
    EXPECT_TRUE(detailWasOnTop);
    EXPECT_EQ(detail.parentWidget(), &module);
    EXPECT_FALSE(module.isVisible());
}
