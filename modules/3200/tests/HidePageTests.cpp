// The hiding page against the in-process bank: the security step until the
// first load succeeds, the toggles, saving every row, and a certificate
// user's reload without a new signature.
#include <gtest/gtest.h>

#include <QPushButton>

#include "AccountScreenFixture.h"
#include "CBmpButton.h"
#include "CGridCtrl.h"
#include "CHideAccountPage.h"
#include "CTVPB3200.h"
#include "ModalScript.h"
#include "Services.h"

using harness::ModalScript;

namespace {

class HidePage : public t3200::AccountScreen {
protected:
    CHideAccountPage* page() { return screen->HidePage(); }
    void click(const char* name) { page()->findChild<CBmpButton*>(QString::fromLatin1(name))->click(); }
    QStringList flags()
    {
        QStringList out;
        for (int r = 1; r <= page()->RecordCount(); ++r)
            out << page()->Grid()->GetItemText(r, 4);
        return out;
    }
};

} // namespace

TEST_F(HidePage, AWrongCellLeavesThePageUnloadedAndTheNextTryDrawsANewCell)
{
    const std::string a = addAccount("KIM", "110-234-567890", 1'000'000);
    const std::string b = addAccount("KIM", "220-11-0045678", 90'000, false, /*hidden=*/true);
    login();
    int draws = 0;
    platform::setRandomSource([&](int low, int high) {
        EXPECT_EQ(low, 1);
        EXPECT_EQ(high, 35);
        return ++draws == 1 ? 3 : 7;
    });
    ModalScript modals;
    openScreen();
    modals.expectDialog(QStringLiteral("CNumberKbd"), [&](QDialog* k) {
        return typeOnKeypad(k, kimCard[2] == "0000" ? QStringLiteral("1111") : QStringLiteral("0000"));
    });
    modals.expectMessageContaining(QStringLiteral("AMG06:"), QStringLiteral("오류"));
    tapTab(2);
    modals.verify();
    EXPECT_FALSE(page()->Loaded());
    EXPECT_EQ(page()->RecordCount(), 0);

    modals.expectDialog(QStringLiteral("CNumberKbd"), [&](QDialog* k) {
        EXPECT_EQ(k->findChild<QWidget*>(QStringLiteral("prompt"))->property("text").toString(),
                  QStringLiteral("보안카드 7번 입력"));
        return typeOnKeypad(k, kimCell7());
    });
    click("btnReload");
    modals.verify();
    ASSERT_TRUE(page()->Loaded());
    CGridCtrl* g = page()->Grid();
    ASSERT_EQ(page()->RecordCount(), 2);
    EXPECT_EQ(g->GetItemText(1, 0), QString());
    EXPECT_EQ(g->GetItemText(1, 2), QStringLiteral("110-234-567890"));
    EXPECT_EQ(g->GetItemText(1, 3), QStringLiteral("1,000,000"));
    EXPECT_EQ(g->GetItemText(2, 0), QStringLiteral("√"));
    EXPECT_EQ(g->GetColumnWidth(0), 50);
    EXPECT_EQ(g->GetColumnWidth(4), 0);

    // Toggle, cancel: the kept reply comes back.
    tapCell(g, 1, 1);
    EXPECT_EQ(flags(), (QStringList{QStringLiteral("1"), QStringLiteral("1")}));
    click("btnCancel");
    EXPECT_EQ(flags(), (QStringList{QStringLiteral("0"), QStringLiteral("1")}));

    // Toggle both and save: every row goes, the page reloads without a keypad.
    tapCell(g, 1, 1);
    tapCell(g, 2, 1);
    EXPECT_EQ(g->GetItemText(2, 0), QString());
    modals.expectMessage(QStringLiteral("계좌숨김 정보가 저장되었습니다."), QStringLiteral("확인"));
    click("btnSave");
    modals.verify();
    EXPECT_TRUE(isHidden(a));
    EXPECT_FALSE(isHidden(b));
    EXPECT_EQ(flags(), (QStringList{QStringLiteral("1"), QStringLiteral("0")}));
    // Reload: no security step (the script would fail on a keypad).
    click("btnReload");
    modals.verify();
    EXPECT_EQ(draws, 2);
}

TEST_F(HidePage, ACertificateUserSavesAndThePageReloadsWithoutANewSignature)
{
    const std::string parkA = useCertificateUser();
    ModalScript modals;
    openScreen();
    // Cancelling the signature stops silently.
    modals.expectDialog(QStringLiteral("VelcorSignDialog"), [](QDialog* p) {
        p->findChild<QPushButton*>(QStringLiteral("cancelButton"))->click();
        return p->result();
    });
    tapTab(2);
    modals.verify();
    EXPECT_FALSE(page()->Loaded());
    modals.expectDialog(QStringLiteral("VelcorSignDialog"),
                        [](QDialog* p) { return answerSignPrompt(p, kCertPassword); });
    click("btnReload");
    modals.verify();
    ASSERT_EQ(page()->RecordCount(), 1);
    tapCell(page()->Grid(), 1, 2);
    modals.expectMessage(QStringLiteral("계좌숨김 정보가 저장되었습니다."), QStringLiteral("확인"));
    click("btnSave");
    modals.verify();
    EXPECT_TRUE(isHidden(parkA));
    EXPECT_EQ(flags(), QStringList{QStringLiteral("1")});
    click("btnReload");
    modals.verify();
    EXPECT_EQ(flags(), QStringList{QStringLiteral("1")});
}
