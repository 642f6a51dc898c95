// Gallery page: a tab control with three pages.
#include "SamplePages.h"

#include <QLabel>
#include <QWidget>
#include <iterator>

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CExTabCtrl.h"
#include "CExTabPage.h"
#include "CGridCellCombo.h"
#include "CGridCtrl.h"

namespace gallery {
namespace {

constexpr unsigned kRight = 0x0002 | 0x0004 | 0x0020;

class HeldAccountsPage : public CExTabPage {
public:
    explicit HeldAccountsPage(QWidget* owner) : CExTabPage(2110, owner) {}

protected:
    BOOL OnInitDialog() override
    {
        auto* grid = new CGridCtrl(6, 3, 1, 0, this);
        grid->setGeometry(2, 4, 232, 150);
        const char* heads[] = {"종류", "계좌번호", "잔액"};
        const char* rows[][3] = {{"보통", "110-123-456789", "1,234,567"},
                                 {"적금", "220-11-334455", "5,000,000"},
                                 {"예금", "440-33-112233", "30,000,000"},
                                 {"저축", "110-987-654321", "87,650"}};
        const int widths[] = {40, 112, 78};
        for (int c = 0; c < 3; ++c) {
            grid->SetColumnWidth(c, widths[c]);
            grid->SetItemText(0, c, QString::fromUtf8(heads[c]));
            grid->SetItemFormat(0, c, kCentred);
        }
        for (int r = 0; r < int(std::size(rows)); ++r) {
            for (int c = 0; c < 3; ++c) {
                grid->SetItemText(r + 1, c, QString::fromUtf8(rows[r][c]));
                grid->SetItemFormat(r + 1, c, c == 2 ? kRight : kCentred);
            }
        }
        grid->SetListMode(TRUE);
        grid->SetFrameFocusCell(FALSE);
        paintListRows(grid, 1);
        grid->ExpandToFitNoScroll();
        grid->SetSelectedRow(1);
        return TRUE;
    }
};

class HistoryPage : public CExTabPage {
public:
    explicit HistoryPage(QWidget* owner) : CExTabPage(2150, owner) {}

protected:
    BOOL OnInitDialog() override
    {
        auto* grid = new CGridCtrl(10, 3, 2, 0, this);
        grid->setGeometry(2, 4, 232, 200);
        const char* head1[] = {"거래일자", "적요", "기재내용"};
        const char* head2[] = {"입금(원)", "지급(원)", "거래후잔액"};
        for (int c = 0; c < 3; ++c) {
            grid->SetColumnWidth(c, 76);
            grid->SetItemText(0, c, QString::fromUtf8(head1[c]));
            grid->SetItemText(1, c, QString::fromUtf8(head2[c]));
            grid->SetItemFormat(0, c, kCentred);
            grid->SetItemFormat(1, c, kCentred);
        }
        const char* tx[][6] = {{"20240614", "타행이체", "김영희", "", "50,000", "1,234,567"},
                               {"20240612", "급여", "타브린상사", "2,500,000", "", "1,284,567"},
                               {"20240605", "카드대금", "타브린카드", "", "312,400", "-1,215,433"},
                               {"20240601", "이자", "결산이자", "1,033", "", "-903,033"}};
        for (int t = 0; t < 4; ++t) {
            const int r = 2 + 2 * t;
            for (int c = 0; c < 3; ++c) {
                grid->SetItemText(r, c, QString::fromUtf8(tx[t][c]));
                grid->SetItemFormat(r, c, kCentred);
                grid->SetItemText(r + 1, c, QString::fromUtf8(tx[t][3 + c]));
                grid->SetItemFormat(r + 1, c, kRight);
            }
        }
        grid->SetListMode(TRUE);
        grid->SetSingleRowSelectionWithMultiRow(TRUE, 2);
        paintListRows(grid, 2, 2);
        grid->ExpandToFitNoScroll();
        grid->SetSelectedRow(5);
        return TRUE;
    }
};

class ChequePage : public CExTabPage {
public:
    explicit ChequePage(QWidget* owner) : CExTabPage(2160, owner) {}

protected:
    BOOL OnInitDialog() override
    {
        auto* grid = new CGridCtrl(5, 2, 0, 1, this);
        grid->setGeometry(2, 4, 232, 130);
        grid->SetColumnWidth(0, 92);
        grid->SetColumnWidth(1, 138);
        grid->SetGridLineColor(RGB(0, 0, 0));
        const char* labels[] = {"발행은행", "발행점번호", "수표번호", "수표종류", "수표금액(원)"};
        for (int r = 0; r < 5; ++r) {
            grid->SetItemText(r, 0, QString::fromUtf8(labels[r]));
            grid->SetItemFormat(r, 0, kCentred);
            grid->SetItemFormat(r, 1, kCentred);
        }
        grid->SetItemText(1, 1, QStringLiteral("0123"));
        grid->SetItemText(2, 1, QStringLiteral("12345678"));
        grid->EnableSelection(FALSE);
        grid->ExpandToFitNoScroll();
        auto* bank = new CGridCellCombo(grid, 0, 1);
        bank->AddString(QStringLiteral("타브린은행"), 20);
        bank->AddString(QStringLiteral("평화은행(구)"), 83);
        auto* kind = new CGridCellCombo(grid, 3, 1);
        kind->AddString(QStringLiteral("일반수표"), 50);
        kind->AddString(QStringLiteral("10만원 정액"), 51);
        kind->AddString(QStringLiteral("30만원 정액"), 53);
        kind->SetCurSel(2);
        grid->SetItemText(4, 1, QStringLiteral("300,000"));

        auto* ok = new CBmpButton(this);
        ok->LoadBitmap(QStringLiteral("BMP\\확인_4524.bmp"), QStringLiteral("BMP\\확인_4524_d.bmp"));
        ok->SizeToContent();
        ok->move(96, 146);
        return TRUE;
    }
};

} // namespace

QWidget* makeTabsSample(QWidget* parent)
{
    auto* screen = new QWidget(parent);
    screen->setObjectName(QStringLiteral("tabsSample"));
    auto* title = new CColorStatic(QStringLiteral("조회"), screen);
    title->SetBkColor(RGB(206, 239, 255));
    title->SetAlignment(DT_CENTER | DT_VCENTER);
    title->setGeometry(0, 0, 240, 22);

    auto* tabs = new CExTabCtrl(screen);
    tabs->setObjectName(QStringLiteral("sampleTabs"));
    tabs->setGeometry(0, 24, 240, 240);
    tabs->AddPageEx(QStringLiteral("보유계좌"), 0, new HeldAccountsPage(screen));
    tabs->AddPageEx(QStringLiteral("거래내역"), 1, new HistoryPage(screen));
    tabs->AddPageEx(QStringLiteral("수표조회"), 2, new ChequePage(screen));
    QObject::connect(tabs, &CExTabCtrl::selChanged, title, [title, tabs](int index) {
        title->setText(QStringLiteral("조회 - %1").arg(tabs->GetItemText(index)));
    });
    return screen;
}

} // namespace gallery
