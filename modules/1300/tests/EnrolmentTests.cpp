// Enrolment without login: the terms screen, the identification's outcomes
// (and a reply without one), registration with an own account and at a
// branch, the new user's login, and what the shell is handed.
#include <gtest/gtest.h>

#include <QLabel>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTextEdit>

#include "Accounts.h"
#include "Admin.h"
#include "CBmpButton.h"
#include "CIdentifyDlg.h"
#include "CNumberKbd.h"
#include "CQVParser.h"
#include "CRegisterDlg.h"
#include "CTVPB1300.h"
#include "Enrolment.h"
#include "ModalScript.h"
#include "ModuleBankTest.h"
#include "ModuleSwitch.h"
#include "NetSettings.h"
#include "PasswordHash.h"
#include "Screenshot.h"

using harness::ModalScript;

namespace {

constexpr const char* kHolder = "9203152456781";
constexpr const char* kApplicant = "8808082456789";

// Catches what the screen posts to the shell.
class SwitchCatcher : public QObject {
public:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == platform::kModuleSwitchEvent) {
            auto* s = static_cast<platform::ModuleSwitchEvent*>(e);
            codes.push_back(s->code());
            texts.push_back(s->text());
            return true;
        }
        return QObject::eventFilter(o, e);
    }
    std::vector<int> codes;
    QStringList texts;
};

class Enrolment : public harness::ModuleBankTest {
protected:
    Enrolment() : harness::ModuleBankTest("gate-1300")
    {
        const std::string hash = bankd::hashShortSecret("1234", bank.store->keys());
        bank.store->write([&](bankd::Db& db) {
            auto open = [&](std::int64_t holder, const char* no) {
                bankd::Account a;
                a.accountNo = no;
                a.customerId = holder;
                a.displayNo = no;
                a.kindName = "보통예금";
                a.kindCode = "A04";
                a.openedOn = "20240101";
                bankd::accounts::add(db, a, hash);
                bankd::accounts::post(db, no, 500'000, "2024-10-01 10:00:00", "신규", "");
            };
            open(bankd::enrolment::addHolder(db, "최유진", kHolder, "2024-01-01 09:00:00"), "110567890123");
            open(bankd::enrolment::addHolder(db, "정하늘", kApplicant, "2024-01-01 09:00:00"), "110678901234");
            bankd::enrolment::addApplication(db, {kApplicant, "SKYJUNG", "정하늘", "20241101", "20241130", 0});
        });
        netsettings::WriteNetworkConnectOption(0);
    }
    ~Enrolment() override { screen.reset(); }

    CTVPB1300* open()
    {
        openModule(screen);
        shell->installEventFilter(&caught);
        return screen.get();
    }
    // The shell's part after the modal run: the screen posts its switch.
    void posted()
    {
        screen->DestroyWindow();
        QCoreApplication::sendPostedEvents(shell.get());
    }
    // The identification answered: ID typed (in lower case), resident number by keypad.
    void identify(QDialog* d, const QString& id, const QString& jumin, ModalScript& modals)
    {
        auto* dlg = qobject_cast<CIdentifyDlg*>(d);
        ASSERT_TRUE(dlg);
        QTest::keyClicks(dlg->IdField(), id);
        modals.expectDialog(QStringLiteral("CNumberKbd"), [=](QDialog* k) {
            auto* kbd = qobject_cast<CNumberKbd*>(k);
            EXPECT_EQ(kbd->findChild<QLabel*>(QStringLiteral("prompt"))->text(), QStringLiteral("주민등록번호"));
            kbd->typeDigits(jumin);
            return 1;
        });
        QApplication::setActiveWindow(dlg);
        dlg->JuminField()->setFocus(Qt::MouseFocusReason);
        dlg->setFocus(Qt::OtherFocusReason);
        EXPECT_EQ(dlg->JuminField()->text(), jumin);
    }
    void keypadInto(ModalScript& modals, QWidget* dlg, QLineEdit* field, const QString& digits)
    {
        modals.expectDialog(QStringLiteral("CNumberKbd"), [=](QDialog* k) {
            qobject_cast<CNumberKbd*>(k)->typeDigits(digits);
            return 1;
        });
        QApplication::setActiveWindow(field->window());
        field->setFocus(Qt::MouseFocusReason);
        dlg->setFocus(Qt::OtherFocusReason);
    }
    int users()
    {
        return bank.store->read([](bankd::Db& db) {
            auto s = db.prepare("SELECT count(*) FROM customers WHERE enrolled = 1");
            s.step();
            return static_cast<int>(s.integer(0));
        });
    }

    SwitchCatcher caught;
    std::unique_ptr<CTVPB1300> screen;
};

} // namespace

TEST_F(Enrolment, NewUserEnrolsWithOwnAccountLogsInAndHasACard)
{
    ModalScript modals;
    open();
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("신규가입"));
    EXPECT_FALSE(screen->findChild<QTextEdit*>(QStringLiteral("ebTerms"))->toPlainText().isEmpty());
    EXPECT_FALSE(screen->findChild<QTextEdit*>(QStringLiteral("ibTerms"))->toPlainText().isEmpty());
    harness::saveShot(screen.get(), QStringLiteral("1300_terms"));
    const int before = users();

    auto registration = [&](QDialog* d) {
        auto* dlg = qobject_cast<CRegisterDlg*>(d);
        EXPECT_EQ(dlg->GetMode(), CRegisterDlg::OwnAccount);
        EXPECT_EQ(dlg->windowTitle(), QStringLiteral("영업점 미가입고객"));
        keypadInto(modals, dlg, dlg->AccountField(), QStringLiteral("110567890123"));
        keypadInto(modals, dlg, dlg->AccountPasswordField(), QStringLiteral("1234"));
        QTest::keyClicks(dlg->PasswordField(), QStringLiteral("abc123"));
        QTest::keyClicks(dlg->ConfirmField(), QStringLiteral("abc12"));
        EXPECT_EQ(dlg->PasswordField()->text(), QStringLiteral("ABC123"));
        harness::saveShot(d, QStringLiteral("1300_account"));
        // Unequal entries: the bank's refusal, and the dialog stays.
        modals.expectMessageContaining(QStringLiteral("ENR07:\r\n"), QStringLiteral("메시지"));
        d->findChild<CBmpButton*>(QStringLiteral("btnOk"))->click();
        EXPECT_EQ(users(), before);
        QTest::keyClicks(dlg->ConfirmField(), QStringLiteral("3"));
        modals.expectMessageContaining(QStringLiteral("신규등록결과:\r\n이용자 ID NEWUSER1"), QStringLiteral("결과 메시지"));
        d->findChild<CBmpButton*>(QStringLiteral("btnOk"))->click();
        return d->result();
    };
    modals.expectDialog(QStringLiteral("CIdentifyDlg"), [&](QDialog* d) {
        identify(d, QStringLiteral("newuser1"), QString::fromLatin1(kHolder), modals);
        EXPECT_EQ(qobject_cast<CIdentifyDlg*>(d)->UserID(), QStringLiteral("NEWUSER1"));
        harness::saveShot(d, QStringLiteral("1300_identify"));
        d->findChild<CBmpButton*>(QStringLiteral("btnOk"))->click();
        modals.expectDialog(QStringLiteral("CRegisterDlg"), registration);
        return d->result();
    });
    screen->findChild<CBmpButton*>(QStringLiteral("btnAgree"))->click();
    modals.verify();
    EXPECT_EQ(screen->RegisteredID(), QStringLiteral("NEWUSER1"));
    EXPECT_FALSE(screen->isVisible());
    posted();
    ASSERT_EQ(caught.codes.size(), 1u);
    EXPECT_EQ(caught.codes[0], 1100);
    EXPECT_EQ(caught.texts[0], QStringLiteral("NEWUSER1"));
    EXPECT_EQ(users(), before + 1);

    // The new user logs in through the client and sees the account.
    login("NEWUSER1", "ABC123");
    CQVParser parser(&session);
    QString reply;
    ASSERT_TRUE(parser.TransData(QStringLiteral("encrypt=1&trcode=PDA_U002&UserID=NEWUSER1"), reply, 1, 0));
    EXPECT_TRUE(reply.contains(QStringLiteral("110567890123"))) << reply.toStdString();
    // The security card bankd show-card prints, and the bank checks it.
    auto card = bankd::admin::securityCard(*bank.store, "NEWUSER1");
    ASSERT_TRUE(card);
    EXPECT_EQ((*card)[6].size(), 4u);
    bank.store->read([&](bankd::Db& db) {
        auto c = bankd::customers::find(db, "NEWUSER1");
        EXPECT_TRUE(bankd::customers::checkSecurityCell(db, c->id, 7, (*card)[6]));
    });

    // The same data again creates nobody: the identification says why.
    screen.reset();
    open();
    modals.expectDialog(QStringLiteral("CIdentifyDlg"), [&](QDialog* d) {
        identify(d, QStringLiteral("NEWUSER1"), QString::fromLatin1(kHolder), modals);
        modals.expectMessage(QStringLiteral("기 등록된 이용자 비밀번호가 있습니다."), QStringLiteral("메시지"));
        d->findChild<CBmpButton*>(QStringLiteral("btnOk"))->click();
        d->findChild<CBmpButton*>(QStringLiteral("btnCancel"))->click();
        return d->result();
    });
    screen->findChild<CBmpButton*>(QStringLiteral("btnAgree"))->click();
    modals.verify();
    EXPECT_EQ(users(), before + 1);
    posted();
    ASSERT_EQ(caught.codes.size(), 2u);
    EXPECT_EQ(caught.texts[1], QString());
}

TEST_F(Enrolment, BranchApplicantGetsThePasswordDialogWithoutAccountFields)
{
    ModalScript modals;
    open();
    auto registration = [&](QDialog* d) {
        auto* dlg = qobject_cast<CRegisterDlg*>(d);
        EXPECT_EQ(dlg->GetMode(), CRegisterDlg::Branch);
        EXPECT_EQ(dlg->windowTitle(), QStringLiteral("영업점 가입 고객"));
        EXPECT_FALSE(dlg->AccountField());
        QTest::keyClicks(dlg->PasswordField(), QStringLiteral("sky2024"));
        QTest::keyClicks(dlg->ConfirmField(), QStringLiteral("sky2024"));
        EXPECT_TRUE(dlg->BuildQuery().startsWith(
            QStringLiteral("useSess=N&trcode=PDA_D002&UserID=SKYJUNG&CorpJNO=8808082456789&Pwd1=SKY2024&Pwd2=SKY2024")));
        harness::saveShot(d, QStringLiteral("1300_branch"));
        modals.expectMessageContaining(QStringLiteral("신규등록결과:\r\n"), QStringLiteral("결과 메시지"));
        d->findChild<CBmpButton*>(QStringLiteral("btnOk"))->click();
        return d->result();
    };
    modals.expectDialog(QStringLiteral("CIdentifyDlg"), [&](QDialog* d) {
        identify(d, QStringLiteral("OTHER"), QString::fromLatin1(kApplicant), modals);
        modals.expectMessage(QStringLiteral("영업점에서 신청하신 이용자 아이디와 입력하신 이용자 아이디가 다릅니다."),
                             QStringLiteral("메시지"));
        d->findChild<CBmpButton*>(QStringLiteral("btnOk"))->click();
        auto* id = qobject_cast<CIdentifyDlg*>(d)->IdField();
        id->clear();
        QTest::keyClicks(id, QStringLiteral("skyjung"));
        d->findChild<CBmpButton*>(QStringLiteral("btnOk"))->click();
        modals.expectDialog(QStringLiteral("CRegisterDlg"), registration);
        return d->result();
    });
    screen->findChild<CBmpButton*>(QStringLiteral("btnAgree"))->click();
    modals.verify();
    posted();
    ASSERT_EQ(caught.texts.size(), 1);
    EXPECT_EQ(caught.texts[0], QStringLiteral("SKYJUNG"));
}

TEST_F(Enrolment, AReplyWithoutTheOutcomeDoesNotOpenThePasswordDialog)
{
    // A bank whose identification answers without a result field.
    bank.dispatcher.add({"PDA_D001", false, false, [](bankd::RequestContext&) { return bankd::Envelope::ok(); }});
    ModalScript modals;
    open();
    modals.expectDialog(QStringLiteral("CIdentifyDlg"), [&](QDialog* d) {
        identify(d, QStringLiteral("NEWUSER"), QString::fromLatin1(kHolder), modals);
        modals.expectMessage(QStringLiteral("데이터가 불완전합니다.\r\n재시도 해주세요."), QStringLiteral("오류메시지"));
        d->findChild<CBmpButton*>(QStringLiteral("btnOk"))->click();
        EXPECT_TRUE(d->isVisible());
        d->findChild<CBmpButton*>(QStringLiteral("btnCancel"))->click();
        return d->result();
    });
    screen->findChild<CBmpButton*>(QStringLiteral("btnAgree"))->click();
    modals.verify(); // no CRegisterDlg
    posted();
    ASSERT_EQ(caught.codes.size(), 1u);
    EXPECT_EQ(caught.codes[0], 1100);
    EXPECT_EQ(caught.texts[0], QString());
}

TEST_F(Enrolment, GuideAndDisagreeLeadBackWithoutAnID)
{
    ModalScript modals;
    open();
    modals.expectDialog(QStringLiteral("CGuideDlg"), [&](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("신규 가입 안내"));
        harness::saveShot(d, QStringLiteral("1300_guide"));
        return 1;
    });
    screen->findChild<CBmpButton*>(QStringLiteral("btnNewinfo"))->click();
    modals.verify();
    EXPECT_TRUE(screen->isVisible());
    screen->findChild<CBmpButton*>(QStringLiteral("btnDisagree"))->click();
    EXPECT_FALSE(screen->isVisible());
    posted();
    ASSERT_EQ(caught.codes.size(), 1u);
    EXPECT_EQ(caught.codes[0], 1100);
    EXPECT_TRUE(caught.texts[0].isEmpty());
}
