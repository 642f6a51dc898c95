#include "CHideAccountPage.h"

#include "AccountGrids.h"
#include "CBmpButton.h"
#include "CGridCtrl.h"
#include "CQV.h"
#include "CTVPB3200.h"
#include "CUserInfo.h"
#include "KitAmount.h"
#include "KitFields.h"
#include "KitQuery.h"
#include "KitReply.h"
#include "KitRequest.h"
#include "SecurityStep.h"

namespace {
const QString kMark = QStringLiteral("√");
} // namespace

CHideAccountPage::CHideAccountPage(CTVPB3200* screen) : CExTabPage(IDD, screen), screen_(screen) {}

CHideAccountPage::~CHideAccountPage() = default;

BOOL CHideAccountPage::OnInitDialog()
{
    connect(amg::AddButton(this, "btnReload", QStringLiteral("이전으로_3224"), 90, 2, 32), &QAbstractButton::clicked,
            this, &CHideAccountPage::OnReload);
    connect(amg::AddButton(this, "btnSave", QStringLiteral("저장_4524"), 126, 2, 45), &QAbstractButton::clicked,
            this, &CHideAccountPage::OnSave);
    connect(amg::AddButton(this, "btnCancel", QStringLiteral("취소_4524"), 175, 2, 45), &QAbstractButton::clicked,
            this, &CHideAccountPage::OnCancel);
    grid_ = new CGridCtrl(this);
    grid_->setObjectName(QStringLiteral("hideGrid"));
    grid_->setGeometry(0, 30, 238, 208);
    connect(grid_, &CGridCtrl::rowTapped, this, &CHideAccountPage::OnRowTapped);
    amg::LayoutHidingGrid(grid_, 0);
    return TRUE;
}

void CHideAccountPage::fill()
{
    const QList<QStringList> records = kit::ListRecords(reply_, 4);
    records_ = static_cast<int>(records.size());
    amg::LayoutHidingGrid(grid_, records_);
    for (int i = 0; i < records_; ++i) {
        const QStringList& r = records[i];
        grid_->SetItemText(i + 1, amg::HdMark, r[3] == QLatin1String("1") ? kMark : QString());
        grid_->SetItemText(i + 1, amg::HdKind, r[0]);
        grid_->SetItemText(i + 1, amg::HdAccount, r[1]);
        grid_->SetItemText(i + 1, amg::HdBalance, FormatAmount(r[2]));
        grid_->SetItemText(i + 1, amg::HdFlag, r[3]);
    }
    grid_->Refresh();
}

bool CHideAccountPage::load(bool checkBusy)
{
    CUserInfo* user = screen_->User();
    QString way;
    if (!loaded_) {
        way = user ? user->GetSecurityWay() : QString();
        SecurityStep step(screen_, screen_->Session());
        step.SetCardPrompt(QStringLiteral("보안카드 %1번 입력"));
        SecurityFields security;
        if (step.Run(way, security) != SecurityStep::Ok)
            return false;
        randomNum_ = security.randomNum;
        secPwd_ = security.secPwd;
        signedMsg_ = security.signedMsg;
    }
    KitRequest req = screen_->Request(screen_);
    req.SetCheckBusy(checkBusy);
    QString reply;
    if (!req.SendPlain(FormatQuery(QStringLiteral("encrypt=1&trcode=PDA_A005&UserID=%s&ScrtyWay=%s&RandomNum=%s"
                                                  "&SecPwd=%s&SignedMsg=%s"),
                                   {user ? user->GetUserID() : QString(), way, randomNum_, secPwd_, signedMsg_}),
                       reply, false))
        return false;
    reply_ = reply;
    fill();
    loaded_ = true;
    return true;
}

void CHideAccountPage::Load()
{
    if (screen_->Session() && screen_->Session()->IsInUsing())
        return;
    load(/*checkBusy=*/false);
}

void CHideAccountPage::OnReload()
{
    if (KitRequest::IsBusy(screen_->Session(), screen_->Download()))
        return;
    load(/*checkBusy=*/true);
}

void CHideAccountPage::OnRowTapped(int row)
{
    if (row < 1 || row > records_)
        return;
    const QString flag = grid_->GetItemText(row, amg::HdFlag);
    if (flag == QLatin1String("0")) {
        grid_->SetItemText(row, amg::HdMark, kMark);
        grid_->SetItemText(row, amg::HdFlag, QStringLiteral("1"));
    } else if (flag == QLatin1String("1")) {
        grid_->SetItemText(row, amg::HdMark, QString());
        grid_->SetItemText(row, amg::HdFlag, QStringLiteral("0"));
    }
    grid_->RedrawRow(row);
}

void CHideAccountPage::OnSave()
{
    if (KitRequest::IsBusy(screen_->Session(), screen_->Download()))
        return;
    QString rows;
    for (int r = 1; r <= records_; ++r)
        rows += kit::WithoutDashes(grid_->GetItemText(r, amg::HdAccount)) + QLatin1Char(';') +
                grid_->GetItemText(r, amg::HdFlag) + QStringLiteral(";|");
    CUserInfo* user = screen_->User();
    KitRequest req = screen_->Request(screen_);
    QString reply;
    if (!req.SendPlain(FormatQuery(QStringLiteral("encrypt=1&trcode=PDA_A006&UserID=%s&ACCNO=%s"),
                                   {user ? user->GetUserID() : QString(), rows}),
                       reply, /*showSuccess=*/true)) {
        if (!req.WasBusy())
            fill();  // the toggles are discarded
        return;
    }
    if (!load(/*checkBusy=*/false))
        fill();
}

void CHideAccountPage::OnCancel()
{
    fill();
}
