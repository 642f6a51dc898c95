// Enter and Escape never close a screen nor press one of its buttons.
#include "DeviceFrame.h"
#include "DialogBase.h"
#include "Modal.h"
#include "ModalScript.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace platform;

namespace {

class LoginLikeDialog : public DialogBase {
public:
    explicit LoginLikeDialog(QWidget* parent = nullptr) : DialogBase(parent)
    {
        setObjectName("loginLike");
        auto* layout = new QVBoxLayout(this);
        edit = new QLineEdit(this);
        edit->setObjectName("id");
        login = new QPushButton("로그인", this);
        login->setObjectName("login");
        login->setDefault(true);
        other = new QPushButton("취소", this);
        other->setObjectName("cancel");
        layout->addWidget(edit);
        layout->addWidget(login);
        layout->addWidget(other);
        connect(login, &QPushButton::clicked, this, &QDialog::accept);
        connect(other, &QPushButton::clicked, this, &QDialog::reject);
    }
    QLineEdit* edit;
    QPushButton* login;
    QPushButton* other;
};

// Presses the keys on each widget of a shown dialog and reports what happened.
void pressGuardedKeys(LoginLikeDialog* d)
{
    for (QWidget* target : {static_cast<QWidget*>(d->edit), static_cast<QWidget*>(d->login),
                            static_cast<QWidget*>(d->other), static_cast<QWidget*>(d)}) {
        target->setFocus();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            QTest::keyClick(target, key);
    }
}

} // namespace

TEST(DialogBaseKeys, EnterAndEscapeNeitherCloseNorPressButtons)
{
    LoginLikeDialog dlg;
    QSignalSpy loginClicks(dlg.login, &QPushButton::clicked);
    QSignalSpy otherClicks(dlg.other, &QPushButton::clicked);
    QSignalSpy finished(&dlg, &QDialog::finished);
    harness::ModalScript modals;
    bool stillOpen = false;
    modals.expectDialog("loginLike", [&](QDialog* d) {
        auto* l = static_cast<LoginLikeDialog*>(d);
        pressGuardedKeys(l);
        stillOpen = d->isVisible();
        // Other keys still reach the widgets.
        l->edit->setFocus();
        QTest::keyClicks(l->edit, "user01");
        return 7;
    });
    EXPECT_EQ(execModal(&dlg), 7);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(loginClicks.count(), 0);
    EXPECT_EQ(otherClicks.count(), 0);
    EXPECT_EQ(finished.count(), 1); // only the handler's own ending
    EXPECT_EQ(dlg.edit->text(), "user01");
}

TEST(DialogBaseKeys, GuardHoldsOnTheDeviceFrameToo)
{
    DeviceFrame frame;
    frame.show();
    LoginLikeDialog dlg;
    QSignalSpy loginClicks(dlg.login, &QPushButton::clicked);
    dlg.show();
    ASSERT_EQ(dlg.parentWidget(), frame.workArea());
    pressGuardedKeys(&dlg);
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(loginClicks.count(), 0);
    // The buttons still work by tapping.
    QTest::mouseClick(dlg.login, Qt::LeftButton);
    EXPECT_EQ(loginClicks.count(), 1);
    EXPECT_FALSE(dlg.isVisible());
}

TEST(DialogBaseKeys, RealModalLoopIsNotEndedByEscape)
{
    setModalHandler({});
    LoginLikeDialog dlg;
    QTimer::singleShot(0, &dlg, [&] {
        pressGuardedKeys(&dlg);
        EXPECT_TRUE(dlg.isVisible());
        dlg.other->click();
    });
    EXPECT_EQ(dlg.doModal(), QDialog::Rejected);
}
