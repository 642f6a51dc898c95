#include "DialogBase.h"
#include "Modal.h"
#include "ModalScript.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace platform;
using harness::ModalScript;

namespace {

struct BoxLook {
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
    bool visible = false;
};

// Shows a box through the seam and reports how it looked while it was up.
int showAndLook(unsigned flags, int answer, BoxLook& look, const QString& caption = QStringLiteral("확인"))
{
    ModalScript modals;
    modals.expectMessage(QStringLiteral("본문"), caption, [&](ModalRequest& r) {
        look.title = r.box->windowTitle();
        look.icon = r.box->icon();
        for (auto* b : r.box->buttons())
            look.buttons << b->text();
        look.defaultButton = r.box->defaultButton() ? r.box->defaultButton()->text() : QString();
        look.visible = r.box->isVisible();
        return answer;
    });
    return messageBox(nullptr, QStringLiteral("본문"), caption, flags);
}

} // namespace

TEST(MessageBox, OkBoxWithInformationIcon)
{
    BoxLook look;
    EXPECT_EQ(showAndLook(MB_OK | MB_ICONINFORMATION, IDOK, look), IDOK);
    EXPECT_EQ(look.title, "확인");
    EXPECT_EQ(look.icon, QMessageBox::Information);
    EXPECT_EQ(look.buttons, QStringList{"확인"});
    EXPECT_EQ(look.defaultButton, "확인");
    EXPECT_TRUE(look.visible);
}

TEST(MessageBox, IconsFollowTheFlags)
{
    BoxLook warning, error, question, none;
    showAndLook(MB_OK | MB_ICONWARNING, IDOK, warning, "오류");
    showAndLook(MB_OK | MB_ICONERROR, IDOK, error);
    showAndLook(MB_YESNO | MB_ICONQUESTION, IDYES, question);
    showAndLook(MB_OK, IDOK, none);
    EXPECT_EQ(warning.icon, QMessageBox::Warning);
    EXPECT_EQ(warning.title, "오류");
    EXPECT_EQ(error.icon, QMessageBox::Critical);
    EXPECT_EQ(question.icon, QMessageBox::Question);
    EXPECT_EQ(none.icon, QMessageBox::NoIcon);
}

TEST(MessageBox, YesNoBoxHasKoreanButtonsAndDefaultButtonFlag)
{
    BoxLook first, second;
    EXPECT_EQ(showAndLook(MB_YESNO | MB_ICONQUESTION, IDNO, first, "종료 확인"), IDNO);
    EXPECT_EQ(first.buttons.size(), 2);
    EXPECT_TRUE(first.buttons.contains("예"));
    EXPECT_TRUE(first.buttons.contains("아니요"));
    EXPECT_EQ(first.defaultButton, "예");
    EXPECT_EQ(showAndLook(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, IDYES, second, "종료 확인"), IDYES);
    EXPECT_EQ(second.defaultButton, "아니요");
}

TEST(MessageBox, OkCancelBox)
{
    BoxLook look, second;
    EXPECT_EQ(showAndLook(MB_OKCANCEL, IDCANCEL, look), IDCANCEL);
    EXPECT_TRUE(look.buttons.contains("확인"));
    EXPECT_TRUE(look.buttons.contains("취소"));
    EXPECT_EQ(look.defaultButton, "확인");
    showAndLook(MB_OKCANCEL | MB_DEFBUTTON2, IDOK, second);
    EXPECT_EQ(second.defaultButton, "취소");
}

TEST(MessageBox, HandlerSeesTextCaptionAndFlags)
{
    ModalScript modals;
    modals.expectMessage("수신 자료에 오류가 검출되었습니다", "오류", IDOK);
    messageBox(nullptr, "수신 자료에 오류가 검출되었습니다", "오류", MB_OK | MB_ICONWARNING);
    ASSERT_EQ(modals.seen().size(), 1);
    EXPECT_EQ(modals.seen()[0].flags, unsigned(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(modals.seen()[0].caption, "오류");
}

TEST(MessageBox, RealLoopReturnsTheClickedButton)
{
    setModalHandler({});
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(messageBox(nullptr, "재 로그인하시겠습니까?", "재 로그인", MB_YESNO | MB_ICONQUESTION), IDNO);
}

TEST(MessageBox, RealLoopEnterPressesTheDefaultButton)
{
    // Enter keeps working in message boxes, also over a screen of the suite.
    setModalHandler({});
    DialogBase screen;
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(box, &press);
    });
    EXPECT_EQ(messageBox(&screen, "종료하시겠습니까?", "종료 확인", MB_YESNO | MB_DEFBUTTON2), IDNO);
}

TEST(MessageBox, RealLoopYesNoBoxIgnoresEscape)
{
    setModalHandler({});
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(box->focusWidget() ? box->focusWidget() : box, &esc);
        box->close();
        // Still up: answer it.
        EXPECT_TRUE(box->isVisible());
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(messageBox(nullptr, "재 로그인하시겠습니까?", "재 로그인", MB_YESNO | MB_ICONQUESTION), IDYES);
}

// ---- execModal ---------------------------------------------------------------------
namespace {

class SampleDialog : public DialogBase {
public:
    explicit SampleDialog(QWidget* parent = nullptr) : DialogBase(parent)
    {
        setObjectName("sampleDialog");
        setWindowTitle("환경 설정");
        auto* layout = new QVBoxLayout(this);
        edit = new QLineEdit(this);
        edit->setObjectName("edit");
        ok = new QPushButton("확인", this);
        ok->setObjectName("ok");
        layout->addWidget(edit);
        layout->addWidget(ok);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    }
    QLineEdit* edit;
    QPushButton* ok;
};

} // namespace

TEST(ExecModal, HandlerGetsTheShownDialogAndItsAnswerIsTheResult)
{
    SampleDialog dlg;
    ModalScript modals;
    bool shownWhenAsked = false;
    modals.expectDialog("sampleDialog", [&](QDialog* d) {
        shownWhenAsked = d->isVisible();
        return 42;
    });
    EXPECT_EQ(dlg.doModal(), 42);
    EXPECT_TRUE(shownWhenAsked);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), 42);
}

TEST(ExecModal, HandlerMayDriveTheDialogLikeAUser)
{
    SampleDialog dlg;
    ModalScript modals;
    int finished = -1;
    QObject::connect(&dlg, &QDialog::finished, [&](int r) { finished = r; });
    modals.expectDialog("platform::DialogBase", [](QDialog* d) {
        auto* s = static_cast<SampleDialog*>(d);
        s->edit->setText("test01");
        s->ok->click();
        return d->result();
    });
    EXPECT_EQ(execModal(&dlg), QDialog::Accepted);
    EXPECT_EQ(dlg.edit->text(), "test01");
    EXPECT_EQ(finished, QDialog::Accepted);
    EXPECT_TRUE(dlg.isHidden());
}

TEST(ExecModal, RealLoopRunsUntilTheDialogCloses)
{
    setModalHandler({});
    SampleDialog dlg;
    QTimer::singleShot(0, &dlg, [&] {
        EXPECT_TRUE(dlg.isVisible());
        dlg.ok->click();
    });
    EXPECT_EQ(dlg.doModal(), QDialog::Accepted);
}

TEST(ExecModal, NullDialogIsRejected)
{
    EXPECT_EQ(execModal(nullptr), QDialog::Rejected);
}
