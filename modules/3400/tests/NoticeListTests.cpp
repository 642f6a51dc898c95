// The notices screen end to end against the in-process bank: the time heading,
// paging with 뒤로 and 이전으로, the detail window, and the replies a real bank
// gives only in bad moments (canned through the bank's dispatcher).
#include <gtest/gtest.h>

#include <QImage>

#include "CBmpButton.h"
#include "CGridCtrl.h"
#include "CNoticeBoard.h"
#include "CNoticeDetailDlg.h"
#include "CNoticeListPage.h"
#include "CTVPB3400.h"
#include "Envelope.h"
#include "NoticeFixture.h"
#include "ModalScript.h"
#include "ResultCodes.h"
#include "Screenshot.h"

using harness::ModalScript;

namespace {

class NoticeList : public t3400::NoticeFixture {
protected:
    QStringList titles(int from, int to) const
    {
        QStringList out;
        for (int i = from; i >= to; --i)
            out << QStringLiteral("> 공지 %1").arg(i);
        return out;
    }
    // Replaces a transaction of the bank by a canned answer.
    void cannedOpen(const std::string& code, bankd::Handler handler)
    {
        clientBank.dispatcher().add({code, /*needsSession=*/false, /*plainRoute=*/true, std::move(handler)});
    }
};

} // namespace

TEST_F(NoticeList, ThreePagesWithNextAndBackToTheFirst)
{
    ModalScript modals;
    addNotices(23);
    openScreen();
    EXPECT_EQ(screen->windowTitle(), QStringLiteral("공지사항"));
    EXPECT_EQ(timeText(), QStringLiteral("11/05 14:32"));
    EXPECT_EQ(rowTitles(), titles(23, 14));
    EXPECT_TRUE(button("btnNext")->isVisible());
    EXPECT_FALSE(button("btnForward")->isVisible());
    // Even rows grey, odd rows white, one column of 214 pixels, rows 20 high.
    EXPECT_EQ(grid()->GetItemBkColour(0, 0), RGB(224, 224, 224));
    EXPECT_EQ(grid()->GetItemBkColour(1, 0), RGB(255, 255, 255));
    EXPECT_EQ(grid()->GetItemBkColour(2, 0), RGB(224, 224, 224));
    EXPECT_EQ(grid()->GetColumnWidth(0), 214);
    EXPECT_EQ(grid()->GetRowHeight(5), 20);
    // The cell shows the title only; the row text keeps the number reversed
    // behind the blanks.
    EXPECT_EQ(grid()->GetItemText(0, 0), QStringLiteral("> 공지 23"));
    EXPECT_EQ(screen->ListPage()->Board()->RowText(0), QStringLiteral("> 공지 23") + QString(45, u' ') + QStringLiteral("32"));

    // 뒤로 asks for the page after the last number shown (14), then after 4.
    button("btnNext")->click();
    EXPECT_EQ(screen->ListPage()->Board()->ListPosition(), QStringLiteral("4"));
    EXPECT_EQ(rowTitles(), titles(13, 4));
    EXPECT_TRUE(button("btnNext")->isVisible());
    button("btnNext")->click();
    EXPECT_EQ(rowTitles(), titles(3, 1));
    EXPECT_EQ(grid()->GetRowCount(), 3);
    EXPECT_FALSE(button("btnNext")->isVisible());
    EXPECT_EQ(timeText(), QStringLiteral("11/05 14:32"));

    // 이전으로 starts again at the first page.
    button("btnFirst")->click();
    EXPECT_EQ(rowTitles(), titles(23, 14));
    EXPECT_TRUE(button("btnNext")->isVisible());
    EXPECT_EQ(screen->ListPage()->Board()->ListPosition(), QStringLiteral("14"));

    // The top bar: 안내 is this module, 홈 leads to the accounts.
    screen->TopBarButtonFor(3400)->click();
    EXPECT_EQ(screen->GetNextModule(), 3400);
    EXPECT_TRUE(screen->isVisible());
    screen->TopBarButtonFor(2100)->click();
    EXPECT_EQ(screen->GetNextModule(), 2100);
    EXPECT_EQ(modals.seen().size(), 0);
}

TEST_F(NoticeList, DetailOfTheSelectedNoticeAsPlainText)
{
    ModalScript modals;
    addNotices(2);
    addNotice("점검 안내", "첫 줄<br>&nbsp;&nbsp;둘째 줄 <a href=\"http://x\">링크<b>; 끝");
    openScreen();
    ASSERT_EQ(rowTitles().value(0), QStringLiteral("> 점검 안내"));
    EXPECT_FALSE(button("btnNext")->isVisible());

    // Nothing selected: the message, and no request.
    modals.expectMessage(QStringLiteral("원하는 항목을 선택하십시요"), QStringLiteral("오류"));
    button("btnDetail")->click();
    modals.verify();

    tapCell(grid(), 0, 0);
    QString shown;
    modals.expectDialog(QStringLiteral("CNoticeDetailDlg"), [&](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), QStringLiteral("공지사항상세"));
        EXPECT_EQ(d->geometry().size(), QSize(240, 294));
        shown = static_cast<CNoticeDetailDlg*>(d)->ShownText();
        return QDialog::Accepted;
    });
    button("btnDetail")->click();
    modals.verify();
    EXPECT_EQ(shown.toStdString(), QStringLiteral("[점검 안내]\n첫 줄\n  둘째 줄 <a href=\"http://x\">링크<b>; 끝").toStdString());

    // The second row opens its own notice.
    tapCell(grid(), 1, 0);
    modals.expectDialog(QStringLiteral("CNoticeDetailDlg"), [&](QDialog* d) {
        shown = static_cast<CNoticeDetailDlg*>(d)->ShownText();
        return QDialog::Accepted;
    });
    button("btnDetail")->click();
    modals.verify();
    EXPECT_EQ(shown, QStringLiteral("[공지 2]\n본문 2"));
}

TEST_F(NoticeList, EmptyListAndAPageWithoutRecords)
{
    {
        // No notices at all: one empty row, 뒤로 hidden, 상세 does nothing.
        ModalScript modals;
        openScreen();
        EXPECT_EQ(grid()->GetRowCount(), 1);
        EXPECT_EQ(grid()->GetItemText(0, 0), QString());
        EXPECT_FALSE(button("btnNext")->isVisible());
        tapCell(grid(), 0, 0);
        button("btnDetail")->click();
        EXPECT_EQ(modals.seen().size(), 0);
        screen.reset();
    }
    // A first page with an empty end flag (뒤로 shows), then a page that brings
    // no records and no "1": 뒤로 would ask for the same page forever, so it hides.
    cannedOpen("PDA_U003", [](bankd::RequestContext& ctx) {
        bankd::Envelope env = bankd::Envelope::ok();
        if (ctx.query.value("Num") == "0") {
            env.free0({""});
            env.addRecord({"9", "20241101", "첫 공지"}).addRecord({"4", "20241101", "둘째 공지"});
        } else {
            env.free0({"0"});
            env.emptyList();
        }
        return env;
    });
    ModalScript modals;
    openScreen();
    EXPECT_EQ(rowTitles(), (QStringList{QStringLiteral("> 첫 공지"), QStringLiteral("> 둘째 공지")}));
    EXPECT_TRUE(button("btnNext")->isVisible());
    button("btnNext")->click();
    EXPECT_EQ(grid()->GetRowCount(), 1);
    EXPECT_EQ(grid()->GetItemText(0, 0), QString());
    EXPECT_FALSE(button("btnNext")->isVisible());
    EXPECT_EQ(screen->ListPage()->Board()->ListPosition(), QStringLiteral("4"));
    EXPECT_EQ(modals.seen().size(), 0);
}

TEST_F(NoticeList, FailedTimeOrListLeavesTheEmptiedList)
{
    addNotices(3);
    ModalScript modals;
    openScreen();
    ASSERT_EQ(grid()->GetRowCount(), 3);

    // The time fetch fails: its message, and neither time nor list.
    cannedOpen("PDA_T003", [](bankd::RequestContext&) { return bankd::Envelope("E9001", "시간 조회 오류"); });
    modals.expectMessage(QStringLiteral("E9001:시간 조회 오류"), QStringLiteral("오류"));
    button("btnFirst")->click();
    modals.verify();
    EXPECT_EQ(grid()->GetRowCount(), 1);
    EXPECT_EQ(grid()->GetItemText(0, 0), QString());
    EXPECT_EQ(timeText(), QString());

    // The detail of a notice that has gone: the bank's refusal, no window.
    screen.reset();
    cannedOpen("PDA_T003", [](bankd::RequestContext&) { return bankd::Envelope::ok().free0({"20241105", "143210"}); });
    openScreen();
    bank.store->write([](bankd::Db& db) { db.exec("DELETE FROM notices"); });
    tapCell(grid(), 0, 0);
    modals.expectMessageContaining(QStringLiteral(":"), QStringLiteral("오류"));
    button("btnDetail")->click();
    modals.verify();
}

TEST_F(NoticeList, Screenshots)
{
    ModalScript modals;
    useDemoBank();
    openScreen();
    EXPECT_EQ(grid()->GetRowCount(), 10);
    EXPECT_TRUE(button("btnNext")->isVisible());
    harness::saveShot(screen.get(), QStringLiteral("3400_list"));
    EXPECT_EQ(harness::shotImage(screen.get()).size(), QSize(240, 294));
    // The demo's long notice, which needs the scroll bar.
    const int row = static_cast<int>(rowTitles().indexOf(QStringLiteral("> 전자금융 사기 예방 안내")));
    ASSERT_GE(row, 0);
    tapCell(grid(), row, 0);
    modals.expectDialog(QStringLiteral("CNoticeDetailDlg"), [&](QDialog* d) {
        harness::saveShot(d, QStringLiteral("3400_detail"));
        return QDialog::Accepted;
    });
    button("btnDetail")->click();
    modals.verify();
}
