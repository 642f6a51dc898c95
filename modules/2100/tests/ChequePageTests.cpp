// The cheque page: input checks, fixed amounts, bank codes and the bank's
// answers on the encrypted route.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>

#include "BankFixture.h"
#include "CBmpButton.h"
#include "CChequePage.h"
#include "CExTabCtrl.h"
#include "CGridCtrl.h"
#include "CNumberKbd.h"
#include "CTVPB2100.h"
#include "Cheques.h"
#include "ModalScript.h"
#include "Sqlite.h"

using harness::ModalScript;
using t2100::BankFixture;

namespace {

class ChequePage : public BankFixture {
protected:
    void SetUp() override
    {
        bank.store->write([](bankd::Db& db) {
            bankd::cheques::add(db, {"20", "0456", "23456789", "53", 300'000, "20241020", ""});
            bankd::cheques::add(db, {"83", "0077", "45678901", "50", 750'000, "20240901", "지급정지"});
        });
        login();
        openScreen();
        screen->TabCtrl()->SelectTab(2);
    }
    CChequePage* page() { return screen->ChequePage(); }
    CGridCtrl* grid() { return page()->Grid(); }
    // A tap on a value cell answered by typing digits on the keypad.
    void type(ModalScript& modals, int row, const QString& digits, const QString& prompt)
    {
        modals.expectDialog(QStringLiteral("CNumberKbd"), [=](QDialog* d) {
            auto* kbd = qobject_cast<CNumberKbd*>(d);
            EXPECT_TRUE(kbd);
            if (!kbd)
                return 2;
            EXPECT_EQ(kbd->findChild<QLabel*>(QStringLiteral("prompt"))->text(), prompt);
            EXPECT_EQ(kbd->kind(), row == CChequePage::RowAmount ? 2 : 1);
            kbd->typeDigits(digits);
            return 1;
        });
        tapCell(grid(), row, 1);
    }
    void chooseKind(int index)
    {
        page()->KindCombo()->setCurrentIndex(index);
        emit page()->KindCombo()->activated(index);
    }
    void inquire() { screen->findChild<CBmpButton*>(QStringLiteral("btnChequeInquiry"))->click(); }
};

} // namespace

TEST_F(ChequePage, TheEntryGridAndTheCombosOverItsCells)
{
    EXPECT_EQ(grid()->GetItemText(0, 0), QStringLiteral("발행은행"));
    EXPECT_EQ(grid()->GetItemText(4, 0), QStringLiteral("수표금액(원)"));
    EXPECT_EQ(grid()->GetItemBkColour(2, 0), RGB(181, 178, 181));
    EXPECT_EQ(grid()->GetFixedColumnCount(), 1);
    EXPECT_EQ(page()->BankCombo()->currentText(), QStringLiteral("타브린은행"));
    EXPECT_EQ(page()->KindCombo()->currentText(), QStringLiteral("일반수표"));
    EXPECT_EQ(page()->KindCombo()->count(), 5);
    const QPoint origin = grid()->viewport()->mapTo(page(), QPoint(0, 0));
    EXPECT_EQ(page()->BankCombo()->geometry(), grid()->cellRect(0, 1).translated(origin));
    EXPECT_EQ(page()->KindCombo()->geometry(), grid()->cellRect(3, 1).translated(origin));
}

TEST_F(ChequePage, ThirtyThousandFixedSendsItsAmountAndKindAndShowsTheResult)
{
    ModalScript modals;
    type(modals, CChequePage::RowBranch, QStringLiteral("0456"), QStringLiteral("발행점번호"));
    type(modals, CChequePage::RowNumber, QStringLiteral("23456789"), QStringLiteral("수표번호"));
    chooseKind(2);
    EXPECT_EQ(grid()->GetItemText(4, 1), QStringLiteral("300,000"));
    EXPECT_TRUE(page()->BuildQuery().endsWith(QStringLiteral("&CheckKind=53&CheckMny=300000")));
    EXPECT_TRUE(page()->BuildQuery().startsWith(
        QStringLiteral("useSess=N&encrypt=1&trcode=PDA_S003&BankCD=20&PublShopNO=0456&CheckNO=23456789&")));
    // A fixed amount is not typed: a tap on the amount opens no keypad.
    tapCell(grid(), CChequePage::RowAmount, 1);
    modals.expectMessage(QStringLiteral("수표번호: 23456789\r\n수표금액: 300,000원\r\n발행일자: 2024.10.20\r\n사고내역: 없음"),
                         QStringLiteral("수표조회 결과"));
    inquire();
    modals.verify();
    EXPECT_EQ(modals.seen().last().buttons.size(), 1);
}

TEST_F(ChequePage, TheOldPeaceBankSendsCode83AndTheAccidentIsShown)
{
    ModalScript modals;
    page()->BankCombo()->setCurrentIndex(1);
    type(modals, CChequePage::RowBranch, QStringLiteral("77"), QStringLiteral("발행점번호"));
    type(modals, CChequePage::RowNumber, QStringLiteral("45678901"), QStringLiteral("수표번호"));
    type(modals, CChequePage::RowAmount, QStringLiteral("750000"), QStringLiteral("수표금액(원)"));
    EXPECT_EQ(grid()->GetItemText(4, 1), QStringLiteral("750,000"));
    EXPECT_TRUE(page()->BuildQuery().contains(QStringLiteral("&BankCD=83&")));
    modals.expectMessageContaining(QStringLiteral("사고내역: 지급정지"), QStringLiteral("수표조회 결과"));
    inquire();
    modals.verify();
}

TEST_F(ChequePage, TheFiveChecksInOrder)
{
    ModalScript modals;
    modals.expectMessage(QStringLiteral("발행점번호 입력오류"), QStringLiteral("오류"));
    inquire();
    grid()->SetItemText(1, 1, QStringLiteral("0456"));
    modals.expectMessage(QStringLiteral("수표번호 입력오류"), QStringLiteral("오류"));
    inquire();
    grid()->SetItemText(2, 1, QStringLiteral("23456789"));
    modals.expectMessage(QStringLiteral("수표금액 입력오류"), QStringLiteral("오류"));
    inquire();
    // "0" is refused on this page.
    grid()->SetItemText(4, 1, QStringLiteral("0"));
    modals.expectMessage(QStringLiteral("수표금액 입력오류"), QStringLiteral("오류"));
    inquire();
    page()->KindCombo()->setCurrentIndex(-1);
    modals.expectMessage(QStringLiteral("수표종류 선택오류"), QStringLiteral("오류"));
    inquire();
    page()->BankCombo()->setCurrentIndex(-1);
    modals.expectMessage(QStringLiteral("발행은행 선택오류"), QStringLiteral("오류"));
    inquire();
    modals.verify();
}

TEST_F(ChequePage, AnUnknownChequeShowsTheBanksCodeAndText)
{
    ModalScript modals;
    grid()->SetItemText(1, 1, QStringLiteral("0456"));
    grid()->SetItemText(2, 1, QStringLiteral("99999999"));
    chooseKind(1);
    modals.expectMessage(QStringLiteral("Code: #CHK01 -\r\n발행 내역이 없는 수표입니다. 수표번호를 확인하십시오."),
                         QStringLiteral("메시지"));
    inquire();
    modals.verify();
    EXPECT_EQ(modals.seen().last().flags & 0xF0u, static_cast<unsigned>(platform::MB_ICONWARNING));
    // The values stay for another try; choosing "일반수표" empties the amount.
    EXPECT_EQ(grid()->GetItemText(2, 1), QStringLiteral("99999999"));
    chooseKind(0);
    EXPECT_EQ(grid()->GetItemText(4, 1), QString());
}
