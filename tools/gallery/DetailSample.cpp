// Gallery page: a label/value confirmation grid without header.
#include "SamplePages.h"

#include <QWidget>
#include <iterator>

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CGridCtrl.h"

namespace gallery {

QWidget* makeDetailSample(QWidget* parent)
{
    auto* page = new QWidget(parent);
    page->setObjectName(QStringLiteral("detailSample"));
    auto* title = new CColorStatic(QStringLiteral("이체확인"), page);
    title->SetBkColor(RGB(206, 239, 255));
    title->SetAlignment(DT_CENTER | DT_VCENTER);
    title->setGeometry(0, 0, 240, 22);

    const char* rows[][2] = {{"출금계좌", "110-123-456789"}, {"입금은행", "타브린은행"},
                             {"입금계좌", "220-11-334455"},   {"거래금액(원)", "1,000,000"},
                             {"수수료(원)", "500"},            {"받는분", "김영희"},
                             {"보내는분", "홍길동"},           {"이체일자", "2024-06-14"},
                             {"집금번호", ""}};
    const int count = int(std::size(rows));
    auto* grid = new CGridCtrl(count, 2, 0, 0, page);
    grid->setGeometry(2, 26, 236, 204);
    grid->SetGridLineColor(RGB(0, 0, 0));
    grid->SetColumnWidth(0, 96);
    grid->SetColumnWidth(1, 100);
    for (int r = 0; r < count; ++r) {
        grid->SetItemText(r, 0, QString::fromUtf8(rows[r][0]));
        grid->SetItemText(r, 1, QString::fromUtf8(rows[r][1]));
        grid->SetItemFormat(r, 0, kCentred);
        grid->SetItemFormat(r, 1, kCentred);
        grid->SetItemBkColour(r, 0, RGB(181, 178, 181));
        grid->SetItemBkColour(r, 1, RGB(222, 223, 222));
    }
    grid->EnableSelection(FALSE);
    grid->ExpandLastColumn();
    grid->ExpandRowsToFit();

    auto* ok = new CBmpButton(page);
    ok->LoadBitmap(QStringLiteral("BMP\\확인_4524.bmp"), QStringLiteral("BMP\\확인_4524_d.bmp"));
    ok->SizeToContent();
    ok->move(70, 236);
    auto* cancel = new CBmpButton(page);
    cancel->LoadBitmap(QStringLiteral("BMP\\취소_4524.bmp"), QStringLiteral("BMP\\취소_4524_d.bmp"));
    cancel->SizeToContent();
    cancel->move(125, 236);
    return page;
}

} // namespace gallery
