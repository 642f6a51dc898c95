// The three pages and the detail dialog with the demo bank, as PNG files in
// $TVPB_SHOTS (when set), checked for size and grid colours.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QImage>

#include "BankFixture.h"
#include "CAccountDetailDlg.h"
#include "CAccountPage.h"
#include "CBmpButton.h"
#include "CExTabCtrl.h"
#include "CGridCtrl.h"
#include "CHistoryPage.h"
#include "CQVParser.h"
#include "CTVPB2100.h"
#include "Demo.h"
#include "ModalScript.h"
#include "Screenshot.h"
#include "Services.h"
#include "TestHome.h"

using harness::ModalScript;

namespace {

class DemoScreens : public t2100::BankFixture {
protected:
    void SetUp() override
    {
        useDemoBank();
        openScreen();
    }
    QImage shot(QWidget* w, const QString& name)
    {
        harness::saveShot(w, name);
        return harness::shotImage(w);
    }
};

} // namespace

TEST_F(DemoScreens, AccountsHistoryChequeAndDetail)
{
    ModalScript modals;
    CAccountPage* accounts = screen->AccountPage();
    EXPECT_EQ(accounts->AccountCount(), 12);
    QImage img = shot(screen.get(), QStringLiteral("2100_accounts"));
    EXPECT_EQ(img.size(), QSize(240, 294));
    // Header grey and the two row colours, sampled inside the grid.
    CGridCtrl* grid = accounts->Grid();
    const QPoint at = grid->viewport()->mapTo(screen.get(), QPoint(0, 0));
    auto sample = [&](int row) {
        const QRect r = grid->cellRect(row, 0).translated(at);
        return img.pixelColor(r.left() + 3, r.top() + 2);
    };
    EXPECT_EQ(sample(0), QColor(181, 178, 181));
    EXPECT_EQ(sample(1), QColor(255, 255, 255));
    EXPECT_EQ(sample(2), QColor(224, 224, 224));
    // Twelve accounts take the narrower widths, still wider than the screen: the
    // scroll bar reaches the kind column.
    EXPECT_TRUE(scrollsToLastColumn(grid));

    // The detail dialog of the first account.
    t2100::BankFixture::tapCell(grid, 1, 0);
    modals.expectDialog(QStringLiteral("CAccountDetailDlg"), [&](QDialog* d) {
        EXPECT_EQ(shot(d, QStringLiteral("2100_detail")).size(), QSize(240, 294));
        return 1;
    });
    screen->findChild<CBmpButton*>(QStringLiteral("btnDetail"))->click();
    modals.verify();

    // The history of the main account over a month.
    screen->TabCtrl()->SelectTab(1);
    CHistoryPage* history = screen->HistoryPage();
    history->AccountCombo()->setCurrentIndex(0);
    emit history->AccountCombo()->activated(0);
    history->PeriodCombo()->setCurrentIndex(4);
    emit history->PeriodCombo()->activated(4);
    screen->findChild<CBmpButton*>(QStringLiteral("btnHistoryInquiry"))->click();
    EXPECT_GE(history->Shown().size(), 3);
    EXPECT_EQ(shot(screen.get(), QStringLiteral("2100_history")).size(), QSize(240, 294));
    EXPECT_TRUE(scrollsToLastColumn(history->findChild<CGridCtrl*>(QStringLiteral("historyGrid"))));

    screen->TabCtrl()->SelectTab(2);
    EXPECT_EQ(shot(screen.get(), QStringLiteral("2100_cheque")).size(), QSize(240, 294));
}
