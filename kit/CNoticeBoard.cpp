#include "CNoticeBoard.h"

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CGridCtrl.h"
#include "CModuleFrame.h"
#include "CNoticeDetailDlg.h"
#include "KitGrid.h"
#include "KitPrompts.h"
#include "KitQuery.h"
#include "KitRequest.h"
#include "KitServerTime.h"

namespace {
constexpr int kColumnWidth = 214;
constexpr int kRowHeight = 20;
constexpr UINT kRowFormat = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
} // namespace

CNoticeBoard::CNoticeBoard(CModuleFrame* screen, const Controls& controls)
    : QObject(screen), screen_(screen), c_(controls)
{
}

CNoticeBoard::~CNoticeBoard() = default;

void CNoticeBoard::InitGridCtrl()
{
    CGridCtrl* grid = c_.grid;
    grid->DeleteAllItems();
    grid->SetColumnCount(1);
    grid->SetFixedRowCount(0);
    grid->SetFixedColumnCount(0);
    grid->SetListMode(TRUE);
    grid->SetSingleRowSelection(TRUE);
    grid->SetEditable(FALSE);
    grid->SetFrameFocusCell(FALSE);
    grid->SetRowResize(FALSE);
    grid->SetColumnResize(FALSE);
    grid->SetBkColor(RGB(255, 255, 255));
    grid->SetTextBkColor(RGB(255, 255, 255));
    grid->SetTextColor(RGB(0, 0, 0));
    ClearGridCtrl(grid);
}

void CNoticeBoard::ClearGridCtrl(CGridCtrl* grid)
{
    grid->ClearSelection();
    for (int r = 0; r < grid->GetRowCount(); ++r)
        grid->SetItemText(r, 0, QString());
    grid->SetColumnWidth(0, kColumnWidth);
    SetRowCount(grid, 1, kRowHeight);
    grid->SetRowHeight(0, kRowHeight);
    grid->SetItemFormat(0, 0, kRowFormat);
    grid->SetItemBkColour(0, 0, RGB(255, 255, 255));
    grid->Refresh();
}

void CNoticeBoard::SetRowCount(CGridCtrl* grid, int count, int height)
{
    while (grid->GetRowCount() < count) {
        const int row = grid->InsertRow(QString());
        grid->SetRowHeight(row, height);
        grid->SetItemFormat(row, 0, kRowFormat);
    }
    while (grid->GetRowCount() > count && grid->GetRowCount() > 0)
        grid->DeleteRow(grid->GetRowCount() - 1);
}

void CNoticeBoard::SetGridColor(CGridCtrl* grid, int step)
{
    if (step <= 0)
        return;
    for (int r = grid->GetFixedRowCount(); r < grid->GetRowCount(); ++r) {
        const bool grey = ((r - grid->GetFixedRowCount()) / step) % 2 == 0;
        for (int c = 0; c < grid->GetColumnCount(); ++c)
            grid->SetItemBkColour(r, c, grey ? kit::kGridShadeColour : RGB(255, 255, 255));
    }
}

bool CNoticeBoard::busy() const
{
    return KitRequest::IsBusy(screen_->Session(), screen_->Download());
}

void CNoticeBoard::FirstPage(bool atStart)
{
    if (!atStart && busy())
        return;
    BeginWait();
    position_ = QStringLiteral("0");
    c_.time->SetWindowText(QString());
    c_.next->hide();
    c_.forward->hide();
    showData(position_);
    EndWait(false);
}

void CNoticeBoard::NextPage()
{
    if (busy())
        return;
    c_.next->hide();
    showData(position_);
}

void CNoticeBoard::showData(const QString& num)
{
    ClearGridCtrl(c_.grid);
    shown_.clear();
    rowTexts_.clear();
    c_.time->SetWindowText(QString());

    KitRequest request = screen_->Request(c_.window);
    request.SetCheckBusy(false);
    const QString base = KitRequest::OpenBase(screen_->Session());
    QString reply;
    if (!request.SendOpen(BuildQueryT003(base), reply, false))
        return;
    c_.time->SetWindowText(kit::ServerTimeHeading(reply).left(11));

    if (!request.SendOpen(BuildQueryU003(base, num), reply, false))
        return;
    const kit::NoticePage page = kit::FillStruct(reply);
    for (const kit::_ST3500& record : page.records)
        position_ = record.num;
    shown_ = page.records;

    const int rows = static_cast<int>(shown_.size());
    SetRowCount(c_.grid, std::max(1, rows), kRowHeight);
    // The cell shows "> " and the title; the whole row text, with the number
    // reversed behind the blanks, stays beside it for the detail request (the
    // blanks alone do not push the number out of the column in every font).
    for (int i = 0; i < rows; ++i) {
        rowTexts_ << kit::NoticeRowText(shown_[i]);
        c_.grid->SetItemText(i, 0, QStringLiteral("> ") + shown_[i].title);
    }
    if (rows > 0)
        SetGridColor(c_.grid, 1);
    c_.grid->Refresh();

    // A page without records leaves the list position where it was: 뒤로 would
    // ask for the same page again, so it stays hidden.
    if (page.endFlag != QLatin1String("1") && rows > 0)
        c_.next->show();
}

void CNoticeBoard::Detail()
{
    if (busy())
        return;
    CGridCtrl* grid = c_.grid;
    int selected = -1;
    for (int r = grid->GetFixedRowCount(); r < grid->GetRowCount(); ++r) {
        if (grid->GetItemText(r, 0).isEmpty())
            return;
        if (grid->IsRowSelected(r)) {
            selected = r;
            break;
        }
    }
    if (selected < 0) {
        ShowMsg(c_.window, QStringLiteral("원하는 항목을 선택하십시요"), false);
        return;
    }
    QString text;
    if (!showDetail(kit::NoticeNumberOfRow(RowText(selected)), text))
        return;
    CNoticeDetailDlg dlg(c_.window, text, c_.detailCaption);
    dlg.DoModal();
}

QString CNoticeBoard::RowText(int row) const
{
    return rowTexts_.value(row);
}

bool CNoticeBoard::showDetail(const QString& num, QString& text)
{
    KitRequest request = screen_->Request(c_.window);
    QString reply;
    if (!request.SendOpen(BuildQueryU004(KitRequest::OpenBase(screen_->Session()), num), reply, false))
        return false;
    text = kit::NoticeDetailText(kit::FillDetail(reply));
    return true;
}
