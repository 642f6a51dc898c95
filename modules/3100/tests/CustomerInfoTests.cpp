// Module 3100 against the in-process bank: the security means page (radio
// buttons, guides, PDA_I005), the password page (checks, upper case,
// PDA_I003, the new password from a fresh client) and the customer data page
// (PDA_I001 on the first visit, the grid's rows, colours and formats), with
// screenshots of every page and dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>

#include "Admin.h"
#include "CBmpButton.h"
#include "CCertInfoDlg.h"
#include "CCustomerInfoPage.h"
#include "CGridCtrl.h"
#include "CPasswordPage.h"
#include "CQVParser.h"
#include "CSecInfoDlg.h"
#include "CSecurityMeansPage.h"
#include "CTVPB3100.h"
#include "CustomerInfo.h"
#include "Customers.h"
#include "ModalScript.h"
#include "ModuleBankTest.h"
#include "Screenshot.h"
#include "Services.h"
#include "Sqlite.h"
#include "TestHome.h"

using harness::ModalScript;

namespace {

class CustomerScreen : public harness::ModuleBankTest {
protected:
    CustomerScreen() : harness::ModuleBankTest("gate-3100") {}
    ~CustomerScreen() override { screen.reset(); }
    void SetUp() override { login(); }

    CTVPB3100* openScreen() { return openModule(screen); }
    void tapTab(int index) { ModuleBankTest::tapTab(screen->TabCtrl(), index); }
    static void click(QWidget* in, const char* name)
    {
        in->findChild<CBmpButton*>(QString::fromLatin1(name))->click();
    }
    void setProfile(const std::string& birth, const std::string& solar, const std::string& wedding)
    {
        bank.store->write([&](bankd::Db& db) {
            bankd::Profile p;
            p.address1 = "서울 강남구 테헤란로 152";
            p.address2 = "타브린타워 12층";
            p.homePhone = "02-555-1234";
            p.mobile = "010-2345-6789";
            p.email = "minjun.kim@example.kr";
            p.solar = solar;
            p.birthDate = birth;
            p.weddingDate = wedding;
            p.businessCode = "2100";
            p.workplace = "타브린상사";
            bankd::customerinfo::setProfile(db, bankd::customers::find(db, "KIM")->id, p);
        });
    }
    std::string wayAtBank()
    {
        return bank.store->read([](bankd::Db& db) { return bankd::customers::find(db, "KIM")->securityWay; });
    }
    // A login from another client (its own gate session): the reply's code.
    QString freshLogin(const QString& userId, const QString& password)
    {
        static int n = 0;
        CQV fresh;
        fresh.SetVgateProp(QStringLiteral("gate-3100-fresh-%1").arg(++n), 443u, 8080u);
        fresh.SetServerProp(1);
        CQVParser parser(&fresh);
        QString reply;
        parser.TransData(QStringLiteral("useSess=N&trcode=PDA_U001&UserID=%1&UserPwd=%2").arg(userId, password), reply,
                         1, 0);
        const int at = reply.indexOf(QStringLiteral("<msg>"));
        return at < 0 ? reply : reply.mid(at + 5, 5);
    }
    void shot(QWidget* w, const QString& name)
    {
        EXPECT_EQ(w->size(), QSize(240, 294)) << name.toStdString();
        EXPECT_FALSE(harness::shotImage(w).isNull());
        harness::saveShot(w, name);
    }
    std::unique_ptr<CTVPB3100> screen;
};

} // namespace

TEST_F(CustomerScreen, SecurityMeansRadiosGuidesAndSaving)
{
    ModalScript modals;
    openScreen();
    CSecurityMeansPage* page = screen->SecurityPage();
    EXPECT_TRUE(page->CardRadio()->isChecked());
    EXPECT_FALSE(page->CertRadio()->isChecked());
    shot(screen.get(), QStringLiteral("3100_security"));

    for (const char* name : {"btnCardGuide", "btnCertGuide"}) {
        modals.expectDialog(QString(), [&](QDialog* d) {
            const bool card = QLatin1String(name) == QLatin1String("btnCardGuide");
            EXPECT_EQ(d->objectName(), card ? QStringLiteral("CSecInfoDlg") : QStringLiteral("CCertInfoDlg"));
            EXPECT_EQ(d->windowTitle(), card ? QStringLiteral("보안카드안내") : QStringLiteral("공인인증서안내"));
            auto* text = d->findChild<QPlainTextEdit*>(QStringLiteral("guideText"));
            EXPECT_TRUE(text->isReadOnly());
            EXPECT_TRUE(text->toPlainText().contains(QStringLiteral("보안카드란?")));
            EXPECT_TRUE(text->toPlainText().contains(QStringLiteral("공인 인증서란?")));
            shot(d, card ? QStringLiteral("3100_card_guide") : QStringLiteral("3100_cert_guide"));
            click(d, "btnClose");
            return d->result();
        });
        click(page, name);
        modals.verify();
    }

    // KIM has no certificate: the bank refuses and the user record keeps "S".
    page->CertRadio()->setChecked(true);
    modals.expectMessageContaining(QStringLiteral("INF05:"), QStringLiteral("오류"));
    click(page, "btnSave");
    modals.verify();
    EXPECT_EQ(user.GetSecurityWay(), QStringLiteral("S"));
    EXPECT_EQ(wayAtBank(), "S");

    // With a certificate the change goes through and the user record follows.
    bankd::admin::issueCertificate(*bank.store, "KIM", harness::testHome().toStdString(), "certpw", true);
    modals.expectMessage(QStringLiteral("이체수단이 공인인증서(으)로 변경되었습니다."), QStringLiteral("확인"));
    click(page, "btnSave");
    modals.verify();
    EXPECT_EQ(user.GetSecurityWay(), QStringLiteral("K"));
    EXPECT_EQ(wayAtBank(), "K");
}

TEST_F(CustomerScreen, AnUnknownMeansChecksNoRadioAndIsSentUnchanged)
{
    user.SetSecurityWay(QStringLiteral("Z"));
    ModalScript modals;
    openScreen();
    CSecurityMeansPage* page = screen->SecurityPage();
    EXPECT_FALSE(page->CardRadio()->isChecked());
    EXPECT_FALSE(page->CertRadio()->isChecked());
    // "Z" goes out as it is; the bank refuses it and nothing changes.
    modals.expectMessage(QStringLiteral("INF06:처리할수 없는 보안수단입니다."), QStringLiteral("오류"));
    click(page, "btnSave");
    modals.verify();
    EXPECT_EQ(user.GetSecurityWay(), QStringLiteral("Z"));
    EXPECT_EQ(wayAtBank(), "S");
}

TEST_F(CustomerScreen, PasswordChecksThenAChangeThatAFreshClientLogsInWith)
{
    ModalScript modals;
    openScreen();
    tapTab(1);
    CPasswordPage* page = screen->PasswordPage();
    EXPECT_EQ(page->UserIdEdit()->text(), QStringLiteral("KIM"));
    EXPECT_TRUE(page->UserIdEdit()->isReadOnly());
    EXPECT_EQ(page->CurrentEdit()->echoMode(), QLineEdit::Password);

    modals.expectMessage(QStringLiteral("비밀번호 입력오류"), QStringLiteral("오류"));
    click(page, "btnSave");
    page->CurrentEdit()->setText(QStringLiteral("pw1"));
    modals.expectMessage(QStringLiteral("변경후 비밀번호 입력오류"), QStringLiteral("오류"));
    click(page, "btnSave");
    page->NewEdit()->setText(QStringLiteral("new12"));
    modals.expectMessage(QStringLiteral("재입력 비밀번호 입력오류"), QStringLiteral("오류"));
    click(page, "btnSave");
    page->RepeatEdit()->setText(QStringLiteral("new13"));
    modals.expectMessage(QStringLiteral("변경후 비밀번호와 재입력 비밀번호 불일치"), QStringLiteral("오류"));
    click(page, "btnSave");
    modals.verify();
    EXPECT_TRUE(page->NewEdit()->text().isEmpty());
    EXPECT_TRUE(page->RepeatEdit()->text().isEmpty());
    EXPECT_EQ(page->CurrentEdit()->text(), QStringLiteral("pw1"));

    // The bank's rule for the new password.
    page->NewEdit()->setText(QStringLiteral("1234"));
    page->RepeatEdit()->setText(QStringLiteral("1234"));
    modals.expectMessageContaining(QStringLiteral("INF02:"), QStringLiteral("오류"));
    click(page, "btnSave");
    modals.verify();

    // Typed in lower case, sent as the login sends it.
    page->NewEdit()->setText(QStringLiteral("new12"));
    page->RepeatEdit()->setText(QStringLiteral("new12"));
    modals.expectMessageContaining(QStringLiteral("비밀번호가 변경되었습니다."), QStringLiteral("확인"));
    click(page, "btnSave");
    modals.verify();
    EXPECT_EQ(page->NewEdit()->text(), QStringLiteral("new12"));  // the fields keep their contents
    shot(screen.get(), QStringLiteral("3100_password"));

    EXPECT_EQ(freshLogin(QStringLiteral("KIM"), QStringLiteral("PW1")), QStringLiteral("LGN01"));
    EXPECT_EQ(freshLogin(QStringLiteral("KIM"), QStringLiteral("NEW12")), QStringLiteral("10000"));
}

TEST_F(CustomerScreen, CustomerDataLoadsOnTheFirstVisitWithItsFormatsAndColours)
{
    setProfile("19700131", "1", "00000000");
    user.SetJuminNo(QStringLiteral("8001011234567"));
    ModalScript modals;
    openScreen();
    CGridCtrl* g = screen->CustomerPage()->Grid();
    // Before the data: labels only, the empty shades.
    EXPECT_EQ(g->GetItemText(2, 0), QStringLiteral("성명"));
    EXPECT_TRUE(g->GetItemText(0, 1).isEmpty());
    EXPECT_EQ(g->GetItemBkColour(0, 1), RGB(193, 193, 193));
    EXPECT_EQ(g->GetItemBkColour(5, 1), RGB(224, 224, 224));

    tapTab(2);
    EXPECT_EQ(g->GetRowCount(), 11);
    EXPECT_EQ(g->GetColumnWidth(0), 76);
    EXPECT_EQ(g->GetItemText(0, 1), QStringLiteral("KIM"));
    EXPECT_EQ(g->GetItemText(1, 1), QStringLiteral("800101-1234567"));
    EXPECT_EQ(g->GetItemText(2, 1), QStringLiteral("김민준"));
    EXPECT_EQ(g->GetItemText(3, 1), QStringLiteral("서울 강남구 테헤란로 152\n타브린타워 12층"));
    EXPECT_EQ(g->GetItemText(6, 1), QStringLiteral("minjun.kim@example.kr"));
    EXPECT_EQ(g->GetItemText(7, 1), QStringLiteral("1970-01-31  양력"));
    EXPECT_EQ(g->GetItemText(8, 1), QString());
    EXPECT_EQ(g->GetItemText(9, 1), QStringLiteral("농,수렵,임업,어업,광업"));
    EXPECT_EQ(g->GetItemText(10, 1), QStringLiteral("타브린상사"));
    EXPECT_EQ(g->GetRowHeight(0), 20);
    EXPECT_EQ(g->GetRowHeight(3), 29);
    EXPECT_EQ(g->GetRowHeight(4), 18);
    EXPECT_EQ(g->GetItemBkColour(0, 0), RGB(200, 200, 200));
    EXPECT_EQ(g->GetItemBkColour(1, 1), RGB(224, 224, 224));
    EXPECT_EQ(g->GetItemBkColour(4, 1), RGB(255, 255, 255));
    EXPECT_EQ(g->GetItemFormat(3, 1) & DT_VCENTER, 0u);
    shot(screen.get(), QStringLiteral("3100_customer"));

    // A second visit sends nothing: a changed profile does not show.
    setProfile("19700131", "2", "20120526");
    tapTab(0);
    tapTab(2);
    EXPECT_EQ(g->GetItemText(7, 1), QStringLiteral("1970-01-31  양력"));
    EXPECT_EQ(screen->TabVisitCount(2), 1);
}

TEST_F(CustomerScreen, OddLengthNumbersAndDatesShowAsReceived)
{
    EXPECT_EQ(CCustomerInfoPage::Values({}, QStringLiteral("KIM"), QStringLiteral("80010112"))[1],
              QStringLiteral("80010112"));
    QStringList f(20);
    f[8] = QStringLiteral("2");
    f[9] = QStringLiteral("197001");
    f[10] = QStringLiteral("2012");
    QStringList v = CCustomerInfoPage::Values(f, QStringLiteral("KIM"), QStringLiteral("8001011234567"));
    EXPECT_EQ(v[7], QStringLiteral("197001"));
    EXPECT_EQ(v[8], QStringLiteral("2012"));
    f[9] = QStringLiteral("19700131");
    EXPECT_EQ(CCustomerInfoPage::Values(f, {}, {})[7], QStringLiteral("1970-01-31  음력"));
    f[9] = QStringLiteral("00000000");
    EXPECT_EQ(CCustomerInfoPage::Values(f, {}, {})[7], QString());
}
