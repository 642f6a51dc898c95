#include "TransferRecords.h"

#include <algorithm>

#include <QScrollBar>
#include <QStyle>

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CGridCtrl.h"

#include <QDialog>
#include "KitFields.h"
#include "KitSort.h"

namespace transfer {

QString TagContent(const QString& reply, const QString& tag)
{
    const QString open = QLatin1Char('<') + tag + QLatin1Char('>');
    const qsizetype a = reply.indexOf(open);
    if (a < 0)
        return {};
    const qsizetype start = a + open.size();
    const qsizetype c = reply.indexOf(QStringLiteral("</") + tag + QLatin1Char('>'), start);
    if (c < 0)
        return {};
    return reply.mid(start, c - start);
}

QStringList SplitFields(QStringView record, int fields)
{
    QStringList out;
    for (int i = 0; i < fields; ++i) {
        QString f;
        GetField(record, u";", f);
        out << f;
        record = record.mid(FieldEnd(record, u";"));
    }
    return out;
}

QList<QStringList> SplitRecords(const QString& list, int fields)
{
    QList<QStringList> out;
    QStringView rest(list);
    const qsizetype count = list.count(QLatin1Char('|'));
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype bar = rest.indexOf(QLatin1Char('|'));
        out << SplitFields(rest.left(bar), fields);
        rest = rest.mid(bar + 1);
    }
    return out;
}

QStringList Free0(const QString& reply, int fields)
{
    if (!reply.contains(QStringLiteral("<free0>")))
        return {};
    return SplitFields(TagContent(reply, QStringLiteral("free0")), fields);
}

QString Without(QString text, QChar c)
{
    text.remove(c);
    return text;
}

void LayoutListGrid(CGridCtrl* grid, const QStringList& headers, const QList<int>& widths, int rows, bool stretch)
{
    grid->ClearSelection();
    grid->DeleteAllItems();
    grid->SetListMode(TRUE);
    grid->SetSingleRowSelection(TRUE);
    grid->SetEditable(FALSE);
    grid->SetFrameFocusCell(FALSE);
    grid->SetColumnResize(FALSE);
    grid->SetRowResize(FALSE);
    grid->SetBkColor(RGB(255, 255, 255));
    grid->SetFixedBkColor(kHeaderColour);
    grid->SetTextColor(RGB(0, 0, 0));
    grid->SetColumnCount(static_cast<int>(headers.size()));
    grid->SetFixedRowCount(1);
    grid->SetRowCount(1 + rows);
    for (int c = 0; c < headers.size(); ++c) {
        grid->SetColumnWidth(c, c < widths.size() ? widths[c] : 0);
        grid->SetItemText(0, c, headers[c]);
        grid->SetItemFormat(0, c, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        grid->SetItemBkColour(0, c, kHeaderColour);
    }
    for (int r = 1; r <= rows; ++r)
        for (int c = 0; c < headers.size(); ++c) {
            grid->SetItemFormat(r, c, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            grid->SetItemBkColour(r, c, (r % 2) ? RGB(255, 255, 255) : kEvenRowColour);
            grid->SetItemFgColour(r, c, RGB(0, 0, 0));
        }
    if (stretch)
        grid->ExpandRowsToFit(TRUE);
    grid->Refresh();
}

void FitColumnsToWidth(CGridCtrl* grid, int flexColumn, int minWidth)
{
    if (flexColumn < 0 || flexColumn >= grid->GetColumnCount() || grid->GetColumnWidth(flexColumn) == 0)
        return;
    const QRect area = grid->contentsRect();
    const int bar = grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid);
    const int available = area.width() - (grid->GetVirtualHeight() > area.height() ? bar : 0);
    const int excess = grid->GetVirtualWidth() - available;
    if (excess <= 0)
        return;
    grid->SetColumnWidth(flexColumn, std::max(minWidth, grid->GetColumnWidth(flexColumn) - excess));
    for (int r = grid->GetFixedRowCount(); r < grid->GetRowCount(); ++r)
        grid->SetItemFormat(r, flexColumn, grid->GetItemFormat(r, flexColumn) | DT_END_ELLIPSIS);
}

CGridCtrl* BuildDetailFrame(QDialog* dialog, const QString& title, int gridHeight)
{
    dialog->setAutoFillBackground(true);
    auto* label = new CColorStatic(title, dialog);
    label->setObjectName(QStringLiteral("detailTitle"));
    label->SetBkColor(kTitleColour);
    label->SetAlignment(DT_CENTER | DT_VCENTER);
    label->setGeometry(3, 3, 234, 20);

    auto* grid = new CGridCtrl(dialog);
    grid->setObjectName(QStringLiteral("detailGrid"));
    grid->setGeometry(3, 28, 234, gridHeight);

    auto* close = new CBmpButton(dialog);
    close->setObjectName(QStringLiteral("btnClose"));
    close->LoadBitmap(QStringLiteral("BMP\\닫기_5024.bmp"), QStringLiteral("BMP\\닫기_5024_d.bmp"), QString());
    close->setGeometry(95, 264, 50, 24);
    QObject::connect(close, &QAbstractButton::clicked, dialog, &QDialog::accept);
    return grid;
}

void LayoutLabelGrid(CGridCtrl* grid, const QStringList& labels, const QStringList& values, int labelWidth)
{
    grid->DeleteAllItems();
    grid->SetListMode(FALSE);
    grid->EnableSelection(FALSE);
    grid->SetEditable(FALSE);
    grid->SetFrameFocusCell(FALSE);
    grid->SetColumnResize(FALSE);
    grid->SetRowResize(FALSE);
    grid->SetGridLineColor(RGB(0, 0, 0));
    grid->SetTextColor(RGB(0, 0, 0));
    grid->SetColumnCount(2);
    grid->SetFixedRowCount(0);
    grid->SetRowCount(static_cast<int>(labels.size()));
    grid->SetColumnWidth(0, labelWidth);
    grid->SetColumnWidth(1, std::max(0, grid->width() - 2 * grid->frameWidth() - labelWidth));
    for (int r = 0; r < labels.size(); ++r) {
        grid->SetItemText(r, 0, labels[r]);
        grid->SetItemText(r, 1, r < values.size() ? values[r] : QString());
        grid->SetItemBkColour(r, 0, kHeaderColour);
        grid->SetItemBkColour(r, 1, kValueColour);
        grid->SetItemFgColour(r, 0, RGB(0, 0, 0));
        grid->SetItemFgColour(r, 1, RGB(0, 0, 0));
        grid->SetItemFormat(r, 0, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        grid->SetItemFormat(r, 1, DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    }
    grid->ExpandRowsToFit(TRUE);
    grid->Refresh();
}

QList<QStringList> NewestFirst(const QList<QStringList>& records)
{
    QStringList dates;
    for (const QStringList& r : records)
        dates << (r.isEmpty() ? QString() : r[0]);
    const QList<int> order = SortDescending(dates);
    QList<QStringList> out;
    for (int i : order)
        out << records[i];
    return out;
}

int FirstSelectedRow(CGridCtrl* grid)
{
    for (int r = 1; r < grid->GetRowCount(); ++r) {
        if (grid->GetItemText(r, 0).isEmpty())
            break;
        if (grid->IsRowSelected(r))
            return r;
    }
    return -1;
}

} // namespace transfer
