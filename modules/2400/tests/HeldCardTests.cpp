// The held-card page: three pages by continuation key, the next button
// following every reply, shading by card, and the card lists of the other
// two pages following the grid.
#include <gtest/gtest.h>

#include <QComboBox>

#include "CBmpButton.h"
#include "CCardInquiryPage.h"
#include "CCardPage.h"
#include "CCashPage.h"
#include "CGridCtrl.h"
#include "CTVPB2400.h"
#include "CardRecords.h"
#include "CardScreenFixture.h"
#include "KitDates.h"
#include "ModalScript.h"

using harness::ModalScript;

namespace {

class HeldCards : public t2400::CardScreen {
protected:
    void SetUp() override
    {
        addCards();
        login();
    }
    CCardPage* page() { return screen->CardPage(); }
    QStringList numbers()
    {
        QStringList out;
        for (const cards::CardRecord& c : page()->Cards())
            out << c.number;
        return out;
    }
};

} // namespace

TEST_F(HeldCards, ThreePagesByTheirKeyTheNextButtonFollowsEveryReplyAndListsFollowTheGrid)
{
    ModalScript modals;
    openScreen();
    CGridCtrl* g = page()->Grid();
    CBmpButton* next = page()->NextButton();
    // Page 1: three cards, two rows each under two header rows; full numbers.
    EXPECT_EQ(numbers(), (QStringList{shownNo(0), shownNo(1), shownNo(2)}));
    ASSERT_EQ(g->GetRowCount(), 2 + 6);
    EXPECT_EQ(g->GetItemText(0, 1), QStringLiteral("카드번호"));
    EXPECT_EQ(g->GetItemText(1, 2), QStringLiteral("사고내역"));
    EXPECT_EQ(g->GetItemText(2, 0), QStringLiteral("개인신용"));
    EXPECT_EQ(g->GetItemText(2, 1), shownNo(0));
    EXPECT_EQ(g->GetItemText(3, 0), QStringLiteral("2027-11"));
    EXPECT_EQ(g->GetItemText(3, 1), QStringLiteral("110-234-567890"));
    EXPECT_EQ(g->GetRowHeight(0), 22);
    EXPECT_EQ(g->GetRowHeight(2), 20);
    // The first and third cards are shaded, the second is not.
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(g->GetItemBkColour(2, c), RGB(224, 224, 224));
        EXPECT_EQ(g->GetItemBkColour(3, c), RGB(224, 224, 224));
        EXPECT_NE(g->GetItemBkColour(4, c), RGB(224, 224, 224));
        EXPECT_NE(g->GetItemBkColour(5, c), RGB(224, 224, 224));
        EXPECT_EQ(g->GetItemBkColour(6, c), RGB(224, 224, 224));
    }
    EXPECT_EQ(page()->Key(), QStringLiteral("001"));
    EXPECT_TRUE(next->isEnabled());
    // The other pages copied the cards, none selected.
    EXPECT_EQ(screen->InquiryPage()->CardList()->count(), 3);
    EXPECT_EQ(screen->CashPage()->CardList()->currentIndex(), -1);

    next->click();
    EXPECT_EQ(numbers(), (QStringList{shownNo(3), shownNo(4), shownNo(5)}));
    EXPECT_EQ(page()->Key(), QStringLiteral("002"));
    EXPECT_EQ(g->GetItemText(7, 2), QStringLiteral("분실신고"));
    EXPECT_EQ(screen->InquiryPage()->CardList()->itemText(0), shownNo(3));
    next->click();
    EXPECT_EQ(numbers(), QStringList{shownNo(6)});
    EXPECT_EQ(g->GetRowCount(), 2 + 2);
    // "000": no further page, and the button says so.
    EXPECT_EQ(page()->Key(), QStringLiteral("000"));
    EXPECT_FALSE(next->isEnabled());
    EXPECT_EQ(screen->CashPage()->CardList()->count(), 1);
    EXPECT_EQ(screen->CashPage()->DepositList()->count(), 0);

    // Reload: back to the first page; a tap on the second card selects it on both pages.
    button(page(), "btnReload")->click();
    EXPECT_EQ(numbers().first(), shownNo(0));
    EXPECT_TRUE(next->isEnabled());
    tapCell(g, 5, 1);
    EXPECT_EQ(page()->SelectedCard(), 1);
    EXPECT_TRUE(g->IsRowSelected(4));
    EXPECT_EQ(screen->InquiryPage()->CardList()->currentIndex(), 1);
    EXPECT_EQ(screen->CashPage()->CardList()->currentIndex(), 1);
    ASSERT_EQ(screen->CashPage()->DepositList()->count(), 1);
    EXPECT_EQ(screen->CashPage()->DepositList()->currentText(), QStringLiteral("110-234-567890"));
}

TEST_F(HeldCards, OnlyThreeDigitsAreAKeyAndAmountsAreDigitsAndSeparatorsOnly)
{
    // The reply's key decides: anything but three digits means no further page.
    EXPECT_EQ(kit::ContinuationKey(QStringLiteral("001;")), QStringLiteral("001"));
    EXPECT_EQ(kit::ContinuationKey(QStringLiteral("01")), QStringLiteral("000"));
    EXPECT_EQ(kit::ContinuationKey(QStringLiteral("A01")), QStringLiteral("000"));
    EXPECT_FALSE(kit::HasNextPage(QStringLiteral("999")));
    EXPECT_EQ(cards::CashAmount(QStringLiteral("50,000")), QStringLiteral("50000"));
    EXPECT_EQ(cards::CashAmount(QStringLiteral("0050000")), QStringLiteral("50000"));
    for (const char* bad : {"", "0", "00", "0,000", "-50000", "50 000", "5e4", ","})
        EXPECT_TRUE(cards::CashAmount(QString::fromLatin1(bad)).isEmpty()) << bad;
}
