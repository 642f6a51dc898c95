#include "CCardLossPage.h"

#include "CBmpButton.h"
#include "CCashCardLossPage.h"
#include "CCreditCardLossPage.h"
#include "CGridCtrl.h"
#include "CTVPB3300.h"
#include "CUserInfo.h"
#include "KitPrompts.h"
#include "KitQuery.h"
#include "KitRequest.h"
#include "Modal.h"

namespace {
const QString kMark = QStringLiteral("√");
constexpr UINT kCentred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
constexpr UINT kLeft = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
} // namespace

CCreditCardLossPage::CCreditCardLossPage(CTVPB3300* screen)
    : CCardLossPage(screen, {IDD, false,
                             {QStringLiteral("선택"), QStringLiteral("카드번호"), QStringLiteral("계좌번호"),
                              QStringLiteral("사고내역")},
                             {37, 128, 114, 113}, 1, 2, 3, -1, QStringLiteral("신용카드를 선택하십시요"),
                             QStringLiteral("선택된 신용카드를 분실신고하시겠습니까?"), QStringLiteral("신용카드분실")})
{
}

CCashCardLossPage::CCashCardLossPage(CTVPB3300* screen)
    : CCardLossPage(screen, {IDD, true,
                             {QStringLiteral("선택"), QStringLiteral("종류"), QStringLiteral("카드번호"),
                              QStringLiteral("계좌번호"), QStringLiteral("사고내역")},
                             {37, 71, 117, 114, 113}, 2, 3, 4, 1, QStringLiteral("현금카드를 선택하십시요"),
                             QStringLiteral("선택된 현금카드를 분실신고하시겠습니까?"), QStringLiteral("현금카드분실")})
{
}

CCardLossPage::CCardLossPage(CTVPB3300* screen, Kind kind) : CLossListPage(kind.idd, screen), kind_(std::move(kind))
{
}

CCardLossPage::~CCardLossPage() = default;

BOOL CCardLossPage::OnInitDialog()
{
    createControls();
    connect(grid_, &CGridCtrl::cellTapped, this, &CCardLossPage::OnCellTapped);
    connect(confirm_, &QAbstractButton::clicked, this, &CCardLossPage::OnConfirm);
    connect(cancel_, &QAbstractButton::clicked, this, &CCardLossPage::OnCancel);
    connect(reload_, &QAbstractButton::clicked, this, &CCardLossPage::OnReload);
    showEmptyList(kind_.headers, kind_.widths);
    return TRUE;
}

void CCardLossPage::fillGrid()
{
    const int rows = static_cast<int>(cards_.size());
    layoutList(kind_.headers, kind_.widths, rows);
    for (int i = 0; i < rows; ++i) {
        const int r = i + 1;
        const loss::CardRecord& card = cards_[i];
        grid_->SetItemText(r, kind_.cardColumn, card.cardNo);
        grid_->SetItemText(r, kind_.accountColumn, card.accountNo);
        grid_->SetItemText(r, kind_.lossColumn, card.loss);
        grid_->SetItemFormat(r, kind_.lossColumn, kLeft);
        if (kind_.typeColumn >= 0)
            grid_->SetItemText(r, kind_.typeColumn, card.type);
    }
    finishList();
}

QString CCardLossPage::listQuery() const
{
    const QString user = screen_->User() ? screen_->User()->GetUserID() : QString();
    return kind_.cash ? BuildQueryR003(user) : BuildQueryR005(user, QStringLiteral("1"));
}

QString CCardLossPage::reportQuery(const QString& cardData) const
{
    const QString user = screen_->User() ? screen_->User()->GetUserID() : QString();
    return kind_.cash ? BuildQueryR004(user, cardData) : BuildQueryR006(user, cardData);
}

void CCardLossPage::LoadList()
{
    InitOnce();
    if (KitRequest::IsBusy(screen_->Session(), screen_->Download()))
        return;
    cards_.clear();
    showEmptyList(kind_.headers, kind_.widths);
    KitRequest request = screen_->Request(screen_);
    QString reply;
    if (!request.SendPlain(listQuery(), reply, false))
        return;
    cards_ = loss::ParseCards(reply, kind_.cash);
    if (!cards_.isEmpty())
        fillGrid();
}

void CCardLossPage::OnReload()
{
    LoadList();
}

void CCardLossPage::OnCellTapped(int row, int)
{
    // Only a row that holds a card takes a mark.
    if (row < 1 || row >= grid_->GetRowCount() || grid_->GetItemText(row, kind_.cardColumn).isEmpty())
        return;
    const bool marked = grid_->GetItemText(row, ColMark) == kMark;
    grid_->SetItemText(row, ColMark, marked ? QString() : kMark);
    grid_->Refresh();
}

void CCardLossPage::OnCancel()
{
    for (int r = 1; r < grid_->GetRowCount(); ++r)
        grid_->SetItemText(r, ColMark, QString());
    grid_->Refresh();
}

QStringList CCardLossPage::MarkedCards() const
{
    QStringList out;
    for (int r = 1; r < grid_->GetRowCount(); ++r) {
        if (grid_->GetItemText(r, ColMark) == kMark && !grid_->GetItemText(r, kind_.cardColumn).isEmpty())
            out << grid_->GetItemText(r, kind_.cardColumn);
    }
    return out;
}

void CCardLossPage::OnConfirm()
{
    if (KitRequest::IsBusy(screen_->Session(), screen_->Download()))
        return;
    const QStringList marked = MarkedCards();
    if (marked.isEmpty()) {
        if (kind_.cash)
            ShowAlert(kind_.noneMarked, false);
        else
            ShowMsg(screen_, kind_.noneMarked, false);
        return;
    }
    // The whole report goes in one request or not at all: never a cut list.
    const QString cardData = loss::CardData(marked, [this](const QString& d) { return reportQuery(d); });
    if (cardData.isEmpty()) {
        ShowMsg(screen_, QStringLiteral("선택한 카드가 너무 많거나 카드번호가 너무 깁니다.\n카드를 나누어 신고하십시오."),
                false);
        return;
    }
    if (platform::messageBox(screen_, kind_.question, kind_.caption, platform::MB_YESNO | platform::MB_ICONQUESTION) !=
        platform::IDYES)
        return;
    KitRequest request = screen_->Request(screen_);
    QString reply;
    if (!request.SendPlain(reportQuery(cardData), reply, /*showSuccess=*/true))
        return;
    LoadList();
}
