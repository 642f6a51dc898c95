#include "CTVPB3200.h"

#include "CDepositAccountPage.h"
#include "CHideAccountPage.h"
#include "CQD.h"
#include "CWithdrawAccountPage.h"
#include "ModuleCodes.h"

namespace {
// The module library's one download object, created when the library loads.
CQD g_download;
} // namespace

CTVPB3200::CTVPB3200(QWidget* parent)
    : CModuleFrame(kit::kModuleAccountManagement, kit::TopBarFamily::Information, parent)
{
    setWindowTitle(QStringLiteral("계좌관리"));
    SetDownload(&g_download);
}

CTVPB3200::~CTVPB3200() = default;

bool CTVPB3200::OnInitDialog()
{
    withdraw_ = new CWithdrawAccountPage(this);
    deposit_ = new CDepositAccountPage(this, withdraw_);
    hide_ = new CHideAccountPage(this);
    withdraw_->setObjectName(QStringLiteral("page3240"));
    deposit_->setObjectName(QStringLiteral("page3210"));
    hide_->setObjectName(QStringLiteral("page3260"));
    AddPage(QStringLiteral("출금계좌 등록/삭제"), withdraw_);
    AddPage(QStringLiteral("자주쓰는 입금계좌관리"), deposit_);
    AddPage(QStringLiteral("계좌숨기기"), hide_);
    withdraw_->LoadFirst();
    return true;
}

void CTVPB3200::OnTabFirstVisit(int index, CExTabPage*)
{
    if (index == 1 && deposit_)
        deposit_->Load();
    else if (index == 2 && hide_)
        hide_->Load();
}

TVPB_EXPORT_MODULE(CTVPB3200)
