// The results page and the scheduled page against the in-process bank.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CExTabCtrl.h"
#include "CGridCtrl.h"
#include "CResultPage.h"
#include "CSchedulePage.h"
#include "CTVPB2200.h"
#include "ModalScript.h"
#include "Sqlite.h"
#include "TransferScreenFixture.h"

using harness::ModalScript;
using t2200::TransferScreen;

namespace {

class ListPages : public TransferScreen {
protected:
    void SetUp() override
    {
        addAccount("KIM", "110-234-567890", 1'000'000);
        login();
    }
    // A transfer result of KIM as the bank stores it.
    void addResult(const std::string& date, const std::string& serial, std::int64_t amount,
                   const std::string& messageNo = "1234567", const std::string& code = "0000")
    {
        bank.store->write([&](bankd::Db& db) {
            auto s = db.prepare(
                "INSERT INTO transfers (customer_id, serial, transfer_date, at, from_account, bank_code, to_account, "
                "recipient, amount, fee, sender, cms_code, message_no, result_code) SELECT id, ?1, ?2, ?2, "
                "'110234567890', '04', '12345678901', '최유리', ?3, 500, '김민준', '', ?4, ?5 FROM customers "
                "WHERE user_id = 'KIM'");
            s.bind(1, serial).bind(2, date).bind(3, amount).bind(4, messageNo).bind(5, code).run();
        });
    }
    void addScheduled(const std::string& date, const std::string& code, std::int64_t amount = 10'000)
    {
        static int n = 0;
        bank.store->write([&](bankd::Db& db) {
            auto s = db.prepare(
                "INSERT INTO scheduled_transfers (customer_id, serial, exec_date, from_account, bank_code, to_account, "
                "recipient, amount, fee, sender, cms_code, result_code, registered_at) SELECT id, ?1, ?2, "
                "'110234567890', '20', '110345678901', '이서연', ?3, 0, '김민준', '', ?4, '2024-11-01 10:00:00' "
                "FROM customers WHERE user_id = 'KIM'");
            s.bind(1, "S" + std::to_string(++n)).bind(2, date).bind(3, amount).bind(4, code).run();
        });
    }
    CResultPage* results() { return screen->ResultPage(); }
    CSchedulePage* schedule() { return screen->SchedulePage(); }
};

} // namespace

TEST_F(ListPages, ResultsStartWithThreeDaysAndDisabledPickers)
{
    ModalScript modals;
    openScreen();
    EXPECT_EQ(results()->PeriodList()->count(), 5);
    EXPECT_EQ(results()->PeriodList()->currentText(), QStringLiteral("3일"));
    EXPECT_EQ(results()->StartPicker()->date(), QDate(2024, 11, 2));
    EXPECT_FALSE(results()->StartPicker()->isEnabled());
    EXPECT_EQ(results()->Grid()->GetRowCount(), 7);
    EXPECT_TRUE(results()->TotalLabel()->text().isEmpty());
    // The empty item frees the pickers and their dates are sent.
    results()->PeriodList()->setCurrentIndex(0);
    results()->OnPeriodChanged(0);
    EXPECT_TRUE(results()->StartPicker()->isEnabled());
    addResult("20241001", "A1", 5000);
    addResult("20241105", "A2", 7000);
    results()->StartPicker()->setDate(QDate(2024, 10, 1));
    results()->EndPicker()->setDate(QDate(2024, 10, 1));
    results()->OnQuery();
    EXPECT_EQ(results()->RecordCount(), 1);
    EXPECT_EQ(results()->Grid()->GetItemText(1, CResultPage::ColSerial), QStringLiteral("A1"));
}

TEST_F(ListPages, SixResultsKeepSevenRowsAndSevenGiveEightWithTheNarrowColumn)
{
    for (int i = 0; i < 6; ++i)
        addResult("2024110" + std::to_string(i % 3 + 3), "B" + std::to_string(i), 1000 * (i + 1));
    ModalScript modals;
    openScreen();
    results()->PeriodList()->setCurrentIndex(2);  // 1주
    results()->OnPeriodChanged(2);
    results()->OnQuery();
    CGridCtrl* g = results()->Grid();
    EXPECT_EQ(g->GetRowCount(), 7);
    EXPECT_EQ(g->GetColumnWidth(3), 0);
    EXPECT_EQ(results()->CountLabel()->text(), QStringLiteral("총건수:6"));
    EXPECT_EQ(results()->TotalLabel()->text(), QStringLiteral("21,000"));
    EXPECT_EQ(g->GetItemText(1, CResultPage::ColBankAccount), QStringLiteral("국민은행/12345678901"));
    EXPECT_EQ(g->GetItemText(1, CResultPage::ColResult), QStringLiteral("정상"));
    EXPECT_EQ(g->GetItemBkColour(0, 0), RGB(181, 178, 181));
    EXPECT_EQ(g->GetItemBkColour(2, 0), RGB(224, 224, 224));

    addResult("20241105", "B6", 500);
    results()->OnQuery();
    EXPECT_EQ(g->GetRowCount(), 8);
    EXPECT_EQ(g->GetColumnWidth(4), 0);
    EXPECT_EQ(g->GetColumnWidth(5), 0);
    // Newest first; equal dates in reverse order of arrival.
    QStringList serials;
    for (int r = 1; r <= 7; ++r)
        serials << g->GetItemText(r, CResultPage::ColSerial);
    EXPECT_EQ(serials, (QStringList{QStringLiteral("B6"), QStringLiteral("B5"), QStringLiteral("B2"),
                                    QStringLiteral("B4"), QStringLiteral("B1"), QStringLiteral("B3"),
                                    QStringLiteral("B0")}));
}

TEST_F(ListPages, ResultDetailShowsMessageNumberAndResultText)
{
    addResult("20241104", "C1", 2000, "0000000");
    addResult("20241105", "C2", 3000, "7654321", "1001");
    ModalScript modals;
    openScreen();
    modals.expectMessage(QStringLiteral("계좌를 선택해 주세요"), QStringLiteral("선택 오류"));
    screen->findChild<CBmpButton*>(QStringLiteral("btnDetail"))->click();
    modals.verify();
    results()->OnQuery();
    CGridCtrl* g = results()->Grid();
    tapCell(g, 2, 0);  // C1 (older, second)
    modals.expectDialog(QStringLiteral("CResultDetailDlg"), [](QDialog* d) {
        CGridCtrl* dg = d->findChild<CGridCtrl*>(QStringLiteral("detailGrid"));
        EXPECT_EQ(dg->GetRowCount(), 9);
        EXPECT_EQ(dg->GetItemText(0, 1), QStringLiteral("20241104"));
        EXPECT_EQ(dg->GetItemText(2, 1), QStringLiteral("국민은행"));
        EXPECT_EQ(dg->GetItemText(7, 0), QStringLiteral("전문번호"));
        EXPECT_EQ(dg->GetItemText(7, 1), QString());
        EXPECT_EQ(dg->GetItemText(8, 1), QStringLiteral("정상처리되었습니다"));
        return QDialog::Accepted;
    });
    results()->OnDetail();
    modals.verify();
    tapCell(g, 1, 0);
    modals.expectDialog(QStringLiteral("CResultDetailDlg"), [](QDialog* d) {
        CGridCtrl* dg = d->findChild<CGridCtrl*>(QStringLiteral("detailGrid"));
        EXPECT_EQ(dg->GetItemText(7, 1), QStringLiteral("7654321"));
        EXPECT_EQ(dg->GetItemText(8, 1), QStringLiteral("잔액이 부족합니다"));
        return QDialog::Accepted;
    });
    results()->OnDetail();
    modals.verify();
}

TEST_F(ListPages, ScheduledListLoadsOnTheFirstVisitAndShowsEveryState)
{
    addScheduled("20241101", "0000");
    addScheduled("20241103", "1001");
    addScheduled("20241120", "");
    ModalScript modals;
    openScreen();
    EXPECT_EQ(schedule()->RecordCount(), 0);
    tapTab(2);
    EXPECT_EQ(screen->ScheduleTabCount(), 1);
    EXPECT_EQ(schedule()->RecordCount(), 3);
    tapTab(0);
    tapTab(2);
    EXPECT_EQ(screen->ScheduleTabCount(), 1);
    CGridCtrl* g = schedule()->Grid();
    EXPECT_EQ(g->GetRowCount(), 9);
    EXPECT_EQ(schedule()->HiddenGrid()->GetRowCount(), 9);
    EXPECT_EQ(g->GetColumnWidth(3), 0);
    EXPECT_EQ(g->GetItemText(1, CSchedulePage::ColDate), QStringLiteral("20241120"));
    EXPECT_EQ(g->GetItemText(1, CSchedulePage::ColResult), QStringLiteral("미처리"));
    EXPECT_EQ(g->GetItemText(2, CSchedulePage::ColResult), QStringLiteral("오류[1001]"));
    EXPECT_EQ(g->GetItemText(3, CSchedulePage::ColResult), QStringLiteral("정상처리"));
    EXPECT_EQ(g->GetItemText(1, CSchedulePage::ColBankAccount), QStringLiteral("타브린은행/110345678901"));
    EXPECT_EQ(schedule()->HiddenGrid()->GetItemText(1, CSchedulePage::HidRecipient), QStringLiteral("이서연"));
    EXPECT_EQ(schedule()->HiddenGrid()->GetItemText(1, CSchedulePage::HidAmount), QStringLiteral("10000"));

    // Detail without a request.
    tapCell(g, 1, 0);
    modals.expectDialog(QStringLiteral("CScheduleDetailDlg"), [](QDialog* d) {
        CGridCtrl* dg = d->findChild<CGridCtrl*>(QStringLiteral("detailGrid"));
        EXPECT_EQ(dg->GetRowCount(), 8);
        EXPECT_EQ(dg->GetItemText(1, 1), QStringLiteral("110-234-567890"));
        EXPECT_EQ(dg->GetItemText(6, 0), QStringLiteral("예약번호"));
        EXPECT_EQ(dg->GetItemText(7, 1), QStringLiteral("미처리"));
        return QDialog::Accepted;
    });
    schedule()->OnDetail();
    modals.verify();
}

TEST_F(ListPages, DeleteRefusesCarriedOutAsksFirstAndReloads)
{
    addScheduled("20241101", "0000");
    addScheduled("20241120", "");
    for (int i = 0; i < 8; ++i)
        addScheduled("2024112" + std::to_string(i % 9 + 1), "");
    ModalScript modals;
    openScreen();
    tapTab(2);
    CGridCtrl* g = schedule()->Grid();
    ASSERT_EQ(schedule()->RecordCount(), 10);
    EXPECT_EQ(g->GetRowCount(), 11);
    EXPECT_EQ(g->GetColumnWidth(4), 0);

    modals.expectMessage(QStringLiteral("계좌를 선택해 주세요"), QStringLiteral("선택 오류"));
    schedule()->OnDelete();
    modals.verify();

    tapCell(g, 10, 0);  // the carried-out one, oldest, last
    ASSERT_EQ(g->GetItemText(10, CSchedulePage::ColResult), QStringLiteral("정상처리"));
    modals.expectMessage(QStringLiteral("이미 이체가 처리된 건은 삭제할 수 없습니다"), QStringLiteral("삭제 불가"));
    schedule()->OnDelete();
    modals.verify();

    tapCell(g, 9, 0);  // 20241120, pending
    ASSERT_EQ(g->GetItemText(9, CSchedulePage::ColDate), QStringLiteral("20241120"));
    modals.expectMessage(QStringLiteral("20241120의 예약 이체를 삭제하시겠습니까?"), QStringLiteral("예약이체 삭제"),
                         [](platform::ModalRequest& r) {
                             EXPECT_TRUE(r.flags & platform::MB_DEFBUTTON2);
                             EXPECT_TRUE(r.flags & platform::MB_YESNO);
                             return int(platform::IDNO);
                         });
    schedule()->OnDelete();
    modals.verify();
    EXPECT_EQ(schedule()->RecordCount(), 10);

    modals.expectMessage(QStringLiteral("20241120의 예약 이체를 삭제하시겠습니까?"), QStringLiteral("예약이체 삭제"),
                         platform::IDYES);
    modals.expectMessage(QStringLiteral("예약이체가 삭제되었습니다."), QStringLiteral("확인"));
    schedule()->OnDelete();
    modals.verify();
    EXPECT_EQ(schedule()->RecordCount(), 9);
    EXPECT_EQ(g->GetRowCount(), 10);
}

TEST_F(ListPages, APeriodWithoutTransfersShowsAnEmptyGridAndZeroTotals)
{
    addResult("20241105", "E1", 7000);
    addResult("20241001", "E0", 5000);
    ModalScript modals;
    openScreen();
    results()->OnQuery(); // three days: E1
    CGridCtrl* g = results()->Grid();
    ASSERT_EQ(results()->RecordCount(), 1);
    ASSERT_EQ(g->GetItemText(1, CResultPage::ColSerial), QStringLiteral("E1"));

    // A free range without any transfer: nothing of the previous answer stays.
    results()->PeriodList()->setCurrentIndex(0);
    results()->OnPeriodChanged(0);
    results()->StartPicker()->setDate(QDate(2024, 9, 1));
    results()->EndPicker()->setDate(QDate(2024, 9, 30));
    results()->OnQuery();
    modals.verify();
    EXPECT_EQ(results()->RecordCount(), 0);
    EXPECT_EQ(g->GetRowCount(), 1 + CResultPage::kMinRows);
    for (int r = 1; r < g->GetRowCount(); ++r)
        EXPECT_TRUE(g->GetItemText(r, CResultPage::ColSerial).isEmpty()) << r;
    EXPECT_EQ(results()->CountLabel()->text(), QStringLiteral("총건수:0"));
    EXPECT_EQ(results()->TotalLabel()->text(), QStringLiteral("0"));
    modals.expectMessage(QStringLiteral("계좌를 선택해 주세요"), QStringLiteral("선택 오류"));
    tapCell(g, 1, 0);
    results()->OnDetail();
    modals.verify();
}

TEST_F(ListPages, DeletingTheLastScheduledTransferLeavesNothingListed)
{
    addScheduled("20241120", "");
    ModalScript modals;
    openScreen();
    tapTab(2);
    CGridCtrl* g = schedule()->Grid();
    ASSERT_EQ(schedule()->RecordCount(), 1);
    tapCell(g, 1, 0);
    modals.expectMessage(QStringLiteral("20241120의 예약 이체를 삭제하시겠습니까?"), QStringLiteral("예약이체 삭제"),
                         platform::IDYES);
    modals.expectMessage(QStringLiteral("예약이체가 삭제되었습니다."), QStringLiteral("확인"));
    schedule()->OnDelete();
    modals.verify();
    EXPECT_EQ(schedule()->RecordCount(), 0);
    EXPECT_TRUE(g->GetItemText(1, CSchedulePage::ColDate).isEmpty());
    EXPECT_TRUE(g->GetItemText(1, CSchedulePage::ColResult).isEmpty()); // not "미처리"
    EXPECT_TRUE(schedule()->HiddenGrid()->GetItemText(1, CSchedulePage::HidSerial).isEmpty());
    // Nothing left to delete or show.
    modals.expectMessage(QStringLiteral("계좌를 선택해 주세요"), QStringLiteral("선택 오류"));
    tapCell(g, 1, 0);
    schedule()->OnDelete();
    modals.verify();
}

TEST_F(ListPages, ResultDatesUseTheHistoryPagesPickerAndShowTheirWholeText)
{
    ModalScript modals;
    openScreen();
    for (QDateEdit* picker : {results()->StartPicker(), results()->EndPicker()}) {
        picker->setDate(QDate(2026, 12, 28));
        EXPECT_TRUE(picker->calendarPopup());
        EXPECT_EQ(picker->text(), QStringLiteral("2026-12-28"));
        // Wide enough for the date and the drop-down button, inside the page.
        EXPECT_GE(picker->width(), picker->minimumSizeHint().width()) << picker->objectName().toStdString();
        EXPECT_LE(picker->geometry().right(), results()->width() - 1);
    }
    EXPECT_LT(results()->StartPicker()->geometry().right(), results()->EndPicker()->geometry().left());
    EXPECT_LE(results()->PeriodList()->geometry().right(), results()->StartPicker()->geometry().left());
}
