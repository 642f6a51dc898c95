// Gallery page: held accounts.
#include "SamplePages.h"

#include <QLabel>
#include <algorithm>
#include <iterator>
#include <QWidget>

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CGridCtrl.h"

namespace gallery {

void paintListRows(CGridCtrl* grid, int firstDataRow, int rowsPerItem)
{
    for (int r = firstDataRow; r < grid->GetRowCount(); ++r) {
        const int item = (r - firstDataRow) / rowsPerItem;
        const COLORREF bk = item % 2 == 0 ? RGB(255, 255, 255) : RGB(224, 224, 224);
        for (int c = 0; c < grid->GetColumnCount(); ++c)
            grid->SetItemBkColour(r, c, bk);
    }
    for (int r = 0; r < firstDataRow; ++r)
        for (int c = 0; c < grid->GetColumnCount(); ++c)
            grid->SetItemBkColour(r, c, RGB(181, 178, 181));
}

QWidget* makeAccountsSample(QWidget* parent)
{
    auto* page = new QWidget(parent);
    page->setObjectName(QStringLiteral("accountsSample"));

    auto* name = new CColorStatic(QStringLiteral(" 홍길동 님의 보유계좌"), page);
    name->setObjectName(QStringLiteral("userName"));
    name->SetBkColor(RGB(255, 255, 255));
    name->SetTextColor(RGB(0, 0, 0));
    name->setGeometry(2, 4, 150, 20);

    auto* when = new CColorStatic(QStringLiteral("06/14 09:30"), page);
    when->SetBkColor(RGB(206, 239, 255));
    when->SetAlignment(DT_CENTER | DT_VCENTER);
    when->setGeometry(154, 4, 84, 20);

    struct Account {
        const char* kind;
        const char* number;
        const char* balance;
        const char* code;
    };
    const Account accounts[] = {
        {"보통예금", "110-123-456789", "1,234,567", "A01"},
        {"정기적금", "220-11-334455", "5,000,000", "A04"},
        {"저축예금", "110-987-654321", "87,650", "A01"},
        {"자유적금", "330-22-778899", "1,200,000", "A05"},
        {"정기예금", "440-33-112233", "30,000,000", "A06"},
        {"대출", "660-55-990011", "-12,000,000", "A07"},
    };
    const int count = int(std::size(accounts));

    auto* grid = new CGridCtrl(0, 0, 0, 0, page);
    grid->setObjectName(QStringLiteral("accountsGrid"));
    grid->setGeometry(2, 28, 236, 206);
    grid->SetColumnCount(4);
    grid->SetRowCount(std::max(count, 8) + 1);
    grid->SetFixedRowCount(1);
    const char* heads[] = {"계좌", "잔액", "종류", "코드"};
    const int widths[] = {108, 78, 48, 0};
    for (int c = 0; c < 4; ++c) {
        grid->SetColumnWidth(c, widths[c]);
        grid->SetItemText(0, c, QString::fromUtf8(heads[c]));
        grid->SetItemFormat(0, c, kCentred);
    }
    for (int i = 0; i < count; ++i) {
        const int r = i + 1;
        grid->SetItemText(r, 0, QString::fromUtf8(accounts[i].number));
        grid->SetItemText(r, 1, QString::fromUtf8(accounts[i].balance));
        grid->SetItemText(r, 2, QString::fromUtf8(accounts[i].kind));
        grid->SetItemText(r, 3, QString::fromUtf8(accounts[i].code));
        grid->SetItemFormat(r, 0, kCentred);
        grid->SetItemFormat(r, 1, 0x0002 | 0x0004 | 0x0020); // DT_RIGHT|DT_VCENTER|DT_SINGLELINE
        grid->SetItemFormat(r, 2, kCentred);
    }
    grid->SetListMode(TRUE);
    grid->SetSingleRowSelection(TRUE);
    grid->SetFrameFocusCell(FALSE);
    grid->SetColumnResize(FALSE);
    grid->SetGridLineColor(RGB(128, 128, 128));
    paintListRows(grid, 1);
    grid->ExpandToFitNoScroll();
    grid->SetSelectedRow(2);

    auto* detail = new CBmpButton(page);
    detail->setObjectName(QStringLiteral("detailButton"));
    detail->LoadBitmap(QStringLiteral("BMP\\계좌상세_6524.bmp"), QStringLiteral("BMP\\계좌상세_6524_d.bmp"));
    detail->SizeToContent();
    detail->move(2, 238);

    auto* reload = new CBmpButton(page);
    reload->setObjectName(QStringLiteral("reloadButton"));
    reload->LoadBitmap(QStringLiteral("BMP\\이전으로_3224.bmp"), QStringLiteral("BMP\\이전으로_3224_d.bmp"));
    reload->SizeToContent();
    reload->move(206, 238);

    auto* note = new QLabel(QStringLiteral("행을 누르면 선택됩니다"), page);
    note->setGeometry(70, 238, 134, 24);
    note->setAlignment(Qt::AlignCenter);
    QObject::connect(grid, &CGridCtrl::rowTapped, note, [note, grid](int row) {
        note->setText(row < 0 ? QStringLiteral("선택 없음 (-1)")
                              : QStringLiteral("%1행: %2").arg(row).arg(grid->GetItemText(row, 2)));
    });
    return page;
}

} // namespace gallery
