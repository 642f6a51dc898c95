#include "CLoanListPage.h"

#include "CBmpButton.h"
#include "CColorStatic.h"
#include "CCreditLoanDlg.h"
#include "CGeneralLoanDlg.h"
#include "CGridCtrl.h"
#include "CQV.h"
#include "CTVPB2300.h"
#include "CUserInfo.h"
#include "KitGrid.h"
#include "KitQuery.h"
#include "KitReply.h"
#include "KitRequest.h"
#include "KitServerTime.h"
#include "LoanRecords.h"

namespace {
constexpr int kRowHeight = 20;
constexpr UINT kCentred = DT_CENTER | DT_VCENTER | DT_SINGLELINE;

const QStringList& headers()
{
    static const QStringList h = {QStringLiteral("종류"), QStringLiteral("계좌번호"), QStringLiteral("잔액")};
    return h;
}
const QList<int> kWidths = {35, 117, 75};
} // namespace

CLoanListPage::CLoanListPage(CTVPB2300* screen, Kind kind)
    : CExTabPage(kind == General ? 130 : 135, screen), screen_(screen), kind_(kind)
{
}

CLoanListPage::~CLoanListPage() = default;

BOOL CLoanListPage::OnInitDialog()
{
    heading_ = new CColorStatic(this);
    heading_->setObjectName(QStringLiteral("heading"));
    heading_->SetBkColor(RGB(255, 255, 255));
    heading_->SetTextColor(RGB(0, 0, 0));
    heading_->SetAlignment(DT_LEFT | DT_VCENTER);
    heading_->setGeometry(2, 2, 134, 22);
    if (CUserInfo* user = screen_->User())
        heading_->SetWindowText(user->GetUserName());

    auto* detail = new CBmpButton(this);
    detail->setObjectName(QStringLiteral("btnDetail"));
    detail->LoadBitmap(QStringLiteral("BMP\\계좌상세_6524.bmp"), QStringLiteral("BMP\\계좌상세_6524_d.bmp"));
    detail->setGeometry(138, 1, 65, 24);
    connect(detail, &QAbstractButton::clicked, this, &CLoanListPage::OnDetail);
    auto* reload = new CBmpButton(this);
    reload->setObjectName(QStringLiteral("btnReload"));
    reload->LoadBitmap(QStringLiteral("BMP\\이전으로_3224.bmp"), QStringLiteral("BMP\\이전으로_3224_d.bmp"));
    reload->setGeometry(205, 1, 32, 24);
    connect(reload, &QAbstractButton::clicked, this, &CLoanListPage::OnReload);

    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("loanGrid"));
    grid_->setGeometry(0, 27, 231, 182);
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    total_ = new CGridCtrl(this);
    total_->setObjectName(QStringLiteral("totalGrid"));
    total_->setGeometry(0, 212, 231, 24);
    total_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    total_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    total_->SetColumnCount(2);
    total_->SetRowCount(1);
    total_->SetFixedColumnCount(1);
    total_->EnableSelection(FALSE);
    total_->SetEditable(FALSE);
    total_->SetFrameFocusCell(FALSE);
    total_->SetColumnResize(FALSE);
    total_->SetRowResize(FALSE);
    total_->SetBkColor(RGB(255, 255, 255));
    total_->SetColumnWidth(0, 120);
    total_->SetColumnWidth(1, 107);
    total_->SetRowHeight(0, kRowHeight);
    total_->SetItemText(0, 0, QStringLiteral("대출 총잔액"));
    total_->SetItemFormat(0, 0, kCentred);
    total_->SetItemBkColour(0, 0, kit::kGridHeaderColour);
    total_->SetItemFormat(0, 1, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    total_->SetItemBkColour(0, 1, RGB(255, 255, 255));

    clearGrids();
    return TRUE;
}

void CLoanListPage::clearGrids()
{
    kit::LayoutListGrid(grid_, headers(), kWidths, 1, false, kit::Shading::FirstThird);
    grid_->SetTrackFocusCell(FALSE);
    for (int r = 0; r < grid_->GetRowCount(); ++r)
        grid_->SetRowHeight(r, kRowHeight);
    for (int c = 0; c < 3; ++c)
        grid_->SetItemBkColour(1, c, RGB(255, 255, 255));
    total_->SetItemText(0, 1, QString());
    total_->Refresh();
    count_ = 0;
}

QStringList CLoanListPage::Accounts() const
{
    QStringList out;
    for (int r = 1; r < grid_->GetRowCount(); ++r) {
        const QString no = grid_->GetItemText(r, ColAccount);
        if (no.isEmpty())
            break;
        out << no;
    }
    return out;
}

void CLoanListPage::LoadList(bool byButton)
{
    InitOnce();
    CQV* session = screen_->Session();
    if (byButton && KitRequest::IsBusy(session, screen_->Download()))
        return;
    CUserInfo* user = screen_->User();
    const QString name = user ? user->GetUserName() : QString();
    screen_->SetTimeText(QString());
    heading_->SetWindowText(name);
    clearGrids();

    KitRequest request = screen_->Request(screen_);
    request.SetCheckBusy(false);
    QString timeReply;
    if (request.SendOpen(BuildQueryT003(KitRequest::OpenBase(session)), timeReply, false)) {
        screen_->SetTimeText(kit::ServerTimeHeading(timeReply));
        QString reply;
        const QString id = user ? user->GetUserID() : QString();
        if (request.SendPlain(kind_ == General ? BuildQueryL001(id) : BuildQueryL005(id), reply, false))
            fill(kit::ListRecords(reply, 7));
    }
    heading_->SetWindowText(name + QLatin1Char(' ') + screen_->TimeText());
}

void CLoanListPage::fill(const QList<QStringList>& records)
{
    if (records.isEmpty())
        return;
    const int n = static_cast<int>(records.size());
    kit::LayoutListGrid(grid_, headers(), kWidths, n, false, kit::Shading::FirstThird);
    grid_->SetTrackFocusCell(FALSE);
    QStringList balances;
    for (int i = 0; i < n; ++i) {
        const int row = i + 1;
        const QStringList& f = records[i];
        grid_->SetItemText(row, ColKind, f[0]);
        grid_->SetItemText(row, ColAccount, f[1]);
        grid_->SetItemText(row, ColBalance, f[2]);
        grid_->SetItemFormat(row, ColBalance, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
        balances << f[2];
    }
    for (int r = 0; r < grid_->GetRowCount(); ++r)
        grid_->SetRowHeight(r, kRowHeight);
    grid_->Refresh();
    total_->SetItemText(0, 1, loans::LoanTotal(balances));
    total_->Refresh();
    count_ = n;
}

void CLoanListPage::OnReload()
{
    LoadList(/*byButton=*/true);
}

void CLoanListPage::OnDetail()
{
    if (KitRequest::IsBusy(screen_->Session(), screen_->Download()))
        return;
    const QStringList accounts = Accounts();
    if (accounts.isEmpty())
        return;
    const int selected = kit::FirstSelectedRow(grid_);
    const int current = selected >= 1 ? selected - 1 : -1;
    if (kind_ == General) {
        CGeneralLoanDlg dlg(screen_, accounts, current);
        dlg.DoModal();
    } else {
        CCreditLoanDlg dlg(screen_, accounts, current);
        dlg.DoModal();
    }
}
