#include "CCardPage.h"

#include "CBmpButton.h"
#include "CCardInquiryPage.h"
#include "CCashPage.h"
#include "CGridCtrl.h"
#include "CTVPB2400.h"
#include "CUserInfo.h"
#include "KitDates.h"
#include "KitGrid.h"
#include "KitQuery.h"
#include "KitReply.h"
#include "KitRequest.h"

namespace {
enum { ColKind, ColNumber, ColBranch };
} // namespace

CCardPage::CCardPage(CTVPB2400* screen) : CExTabPage(IDD, screen), screen_(screen) {}

CCardPage::~CCardPage() = default;

BOOL CCardPage::OnInitDialog()
{
    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("cardGrid"));
    // Small enough a font that a card's number, branch and accident record all
    // fit the screen's width once the columns take their texts' widths.
    QFont small = grid_->font();
    small.setPixelSize(11);
    grid_->setFont(small);
    connect(grid_, &CGridCtrl::rowTapped, this, &CCardPage::OnGridTapped);

    reload_ = new CBmpButton(this);
    reload_->setObjectName(QStringLiteral("btnReload"));
    reload_->LoadBitmap(QStringLiteral("BMP\\이전으로_3224.bmp"), QStringLiteral("BMP\\이전으로_3224_d.bmp"), QString());
    connect(reload_, &QAbstractButton::clicked, this, &CCardPage::On242001);
    next_ = new CBmpButton(this);
    next_->setObjectName(QStringLiteral("btnNext"));
    next_->LoadBitmap(QStringLiteral("BMP\\뒤로_3224.bmp"), QStringLiteral("BMP\\뒤로_3224_d.bmp"),
                      QStringLiteral("BMP\\뒤로_D3224.bmp"));
    connect(next_, &QAbstractButton::clicked, this, &CCardPage::On242002);
    none_ = new CBmpButton(this);
    none_->setObjectName(QStringLiteral("btnNone"));
    none_->LoadBitmap(QStringLiteral("BMP\\앞으로_D3224.bmp"), QString(), QString());

    setKey(QStringLiteral("000"));
    fillGrid();
    layoutControls();
    return TRUE;
}

void CCardPage::resizeEvent(QResizeEvent* e)
{
    CExTabPage::resizeEvent(e);
    layoutControls();
}

void CCardPage::layoutControls()
{
    if (!grid_)
        return;
    const int w = width();
    const int h = height();
    grid_->setGeometry(0, 2, w, h - 2 - 29);
    // The columns fit the grid's width, which is only known here.
    fitColumns();
    none_->setGeometry(w - 3 * 34, h - 26, 32, 24);
    reload_->setGeometry(w - 2 * 34, h - 26, 32, 24);
    next_->setGeometry(w - 34, h - 26, 32, 24);
}

void CCardPage::setKey(const QString& key)
{
    // Only three digits are a key; the next button follows every reply.
    key_ = kit::ContinuationKey(key);
    next_->EnableWindow(kit::HasNextPage(key_));
}

int CCardPage::SelectedCard() const
{
    if (!grid_)
        return -1;
    const int row = grid_->GetSelectedRow();
    const int index = row >= 2 ? (row - 2) / 2 : -1;
    return index >= 0 && index < cards_.size() ? index : -1;
}

bool CCardPage::request(const QString& key, bool checkBusy)
{
    CUserInfo* user = screen_->User();
    KitRequest cycle = screen_->Request(screen_);
    cycle.SetCheckBusy(checkBusy);
    QString reply;
    if (!cycle.SendPlain(BuildQueryC001(user ? user->GetUserID() : QString(), key, screen_->CardCompany()), reply,
                         false)) {
        if (cycle.WasBusy())
            return false;
        // Nothing shown that the bank did not just send.
        cards_.clear();
        setKey(QStringLiteral("000"));
        fillGrid();
        return false;
    }
    setKey(kit::BlockText(reply, QStringLiteral("free0")).left(3));
    cards_ = cards::ParseCards(reply);
    fillGrid();
    return true;
}

void CCardPage::Load(bool byButton)
{
    const bool first = !loadedOnce_;
    loadedOnce_ = true;
    if (!request(QStringLiteral("000"), byButton) && byButton)
        return;
    if (!first) {
        if (screen_->InquiryPage())
            screen_->InquiryPage()->FillCards();
        if (screen_->CashPage())
            screen_->CashPage()->FillCards();
    }
}

void CCardPage::On242001()
{
    Load(true);
}

void CCardPage::On242002()
{
    if (!kit::HasNextPage(key_))
        return;
    if (!request(kit::NextPageKey(key_), true))
        return;
    if (screen_->InquiryPage())
        screen_->InquiryPage()->FillCards();
    if (screen_->CashPage())
        screen_->CashPage()->FillCards(/*withDeposit=*/false);
}

void CCardPage::OnGridTapped(int row)
{
    const int tapped = row >= 2 && (row - 2) / 2 < cards_.size() ? (row - 2) / 2 : SelectedCard();
    if (screen_->InquiryPage())
        screen_->InquiryPage()->SelectCard(tapped);
    if (screen_->CashPage())
        screen_->CashPage()->SelectCard(tapped);
}

void CCardPage::fillGrid()
{
    const int n = static_cast<int>(cards_.size());
    kit::LayoutTwoRowGrid(grid_, {QStringLiteral("종류"), QStringLiteral("카드번호"), QStringLiteral("영업점")},
                          {QStringLiteral("유효기간"), QStringLiteral("결제계좌번호"), QStringLiteral("사고내역")},
                          {92, 136, 77}, n, kit::Shading::FirstThird);
    grid_->SetRowHeight(0, 22);
    grid_->SetRowHeight(1, 22);
    for (int i = 0; i < n; ++i) {
        const cards::CardRecord& c = cards_[i];
        const int top = 2 + 2 * i;
        grid_->SetRowHeight(top, 20);
        grid_->SetRowHeight(top + 1, 20);
        grid_->SetItemText(top, ColKind, c.kind);
        grid_->SetItemText(top, ColNumber, c.number);
        grid_->SetItemText(top, ColBranch, c.branch);
        grid_->SetItemText(top + 1, ColKind, c.validity);
        grid_->SetItemText(top + 1, ColNumber, c.settlement);
        grid_->SetItemText(top + 1, ColBranch, c.accident);
    }
    fitColumns();
}

void CCardPage::fitColumns()
{
    grid_->AutoSizeColumns();
    kit::FitColumnsToWidth(grid_, ColBranch, 40);
    grid_->Refresh();
}
