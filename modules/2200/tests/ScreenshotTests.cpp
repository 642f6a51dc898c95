// The entry page, the confirmation and result dialogs, the results page and
// the scheduled page with the demo bank, as PNG files in $TVPB_SHOTS (when
// set), checked for size and grid colours.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QImage>
#include <QLineEdit>
#include <QScrollBar>

#include "Admin.h"
#include "CBmpButton.h"
#include "CExTabCtrl.h"
#include "CGridCtrl.h"
#include "CQVParser.h"
#include "CResultPage.h"
#include "CSchedulePage.h"
#include "CTVPB2200.h"
#include "CTransferPage.h"
#include "Demo.h"
#include "ModalScript.h"
#include "Screenshot.h"
#include "Services.h"
#include "TestHome.h"
#include "TransferScreenFixture.h"

using harness::ModalScript;

namespace {

class DemoScreens : public t2200::TransferScreen {
protected:
    void SetUp() override
    {
        useDemoBank();
    }
    // The visible columns, "결과" last, lie inside the grid's 240-pixel-wide view;
    // the hidden columns from `firstHidden` on stay hidden.
    static void expectColumnsFit(CGridCtrl* g, int firstHidden)
    {
        QApplication::processEvents();
        int right = 0;
        for (int c = 0; c < firstHidden; ++c) {
            EXPECT_GT(g->GetColumnWidth(c), 0) << "column " << c;
            right += g->GetColumnWidth(c);
        }
        EXPECT_LE(right, g->viewport()->width());
        EXPECT_EQ(g->horizontalScrollBar()->maximum(), 0);
        for (int c = firstHidden; c < g->GetColumnCount(); ++c)
            EXPECT_EQ(g->GetColumnWidth(c), 0) << "column " << c;
    }
    void shot(QWidget* w, const QString& name)
    {
        QImage img = harness::shotImage(w);
        EXPECT_FALSE(img.isNull());
        harness::saveShot(w, name);
    }
};

} // namespace

TEST_F(DemoScreens, EntryConfirmationResultResultsAndScheduledPages)
{
    ModalScript modals;
    openScreen();
    CTransferPage* page = screen->TransferPage();
    ASSERT_GE(page->SourceList()->count(), 3);
    page->SourceList()->setCurrentIndex(0);
    page->PasswordEdit()->setText(QStringLiteral("1234"));
    page->BankList()->setCurrentIndex(0);
    page->DepositEdit()->setText(QStringLiteral("110345678901"));
    page->AmountEdit()->setText(QStringLiteral("50,000"));
    page->PhoneEdit()->setText(QStringLiteral("0101234567"));
    // The bank keeps Korean time; the transfer is for the bank's today.
    page->DatePicker()->setDate(QDateTime::currentDateTimeUtc().addSecs(9 * 3600).date());
    EXPECT_EQ(screen->size(), QSize(240, 294));
    shot(screen.get(), QStringLiteral("2200_entry"));

    platform::setRandomSource([](int, int) { return 3; });
    const QString cell3 = QString::fromStdString(bankd::admin::securityCard(*bank.store, "DEMOS")->at(2));
    modals.expectDialog(QStringLiteral("CTransferConfirmDlg"), [&](QDialog* d) {
        EXPECT_EQ(d->size(), QSize(240, 294));
        shot(d, QStringLiteral("2200_confirm"));
        ModalScript inner;
        inner.expectDialog(QStringLiteral("CNumberKbd"), [&](QDialog* k) { return typeOnKeypad(k, cell3); });
        inner.expectMessage(QStringLiteral("이체가 정상처리 되었습니다."), QStringLiteral("확인"));
        inner.expectDialog(QStringLiteral("CTransferResultDlg"), [&](QDialog* r) {
            shot(r, QStringLiteral("2200_result"));
            return QDialog::Accepted;
        });
        d->findChild<CBmpButton*>(QStringLiteral("btnExecute"))->click();
        inner.verify();
        return d->result();
    });
    screen->findChild<CBmpButton*>(QStringLiteral("btnTransfer"))->click();
    modals.verify();

    tapTab(1);
    CResultPage* results = screen->ResultPage();
    results->PeriodList()->setCurrentIndex(4);
    results->OnPeriodChanged(4);
    results->OnQuery();
    EXPECT_GE(results->RecordCount(), 8);
    EXPECT_EQ(results->Grid()->GetItemBkColour(0, 0), RGB(181, 178, 181));
    EXPECT_EQ(results->Grid()->GetItemBkColour(2, 0), RGB(224, 224, 224));
    expectColumnsFit(results->Grid(), CResultPage::ColSerial);
    EXPECT_TRUE(results->Grid()->GetItemText(1, CResultPage::ColBankAccount).contains(QChar(u'/')));
    shot(screen.get(), QStringLiteral("2200_results"));

    tapTab(2);
    CSchedulePage* schedule = screen->SchedulePage();
    EXPECT_EQ(schedule->RecordCount(), 5);
    QStringList states;
    for (int r = 1; r <= 5; ++r)
        states << schedule->Grid()->GetItemText(r, CSchedulePage::ColResult);
    EXPECT_TRUE(states.contains(QStringLiteral("미처리")));
    EXPECT_TRUE(states.contains(QStringLiteral("정상처리")));
    EXPECT_TRUE(states.contains(QStringLiteral("오류[1001]")));
    expectColumnsFit(schedule->Grid(), CSchedulePage::ColBank);
    shot(screen.get(), QStringLiteral("2200_scheduled"));
}
