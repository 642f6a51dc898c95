#include "CTVPB2100.h"

#include "CAccountPage.h"
#include "CChequePage.h"
#include "CExTabCtrl.h"
#include "CHistoryPage.h"
#include "CQD.h"
#include "ChequeInquiry.h"
#include "ModuleCodes.h"

namespace {
// The module library's one download object, created when the library loads.
CQD g_download;
} // namespace

CTVPB2100::CTVPB2100(QWidget* parent) : CModuleFrame(kit::kModuleAccounts, kit::TopBarFamily::Account, parent)
{
    setWindowTitle(QStringLiteral("조회"));
    SetDownload(&g_download);
}

CTVPB2100::~CTVPB2100() = default;

bool CTVPB2100::OnInitDialog()
{
    accounts_ = new CAccountPage(this);
    history_ = new CHistoryPage(this);
    cheque_ = new CChequePage(2160, this, ChequePageStyle::AccountInquiry(), [this] { InquireCheque(this, cheque_); });
    AddPage(QStringLiteral("보유계좌"), accounts_);
    AddPage(QStringLiteral("거래내역"), history_);
    AddPage(QStringLiteral("수표조회"), cheque_);
    accounts_->setObjectName(QStringLiteral("page2110"));
    history_->setObjectName(QStringLiteral("page2150"));
    cheque_->setObjectName(QStringLiteral("page2160"));

    // The held-accounts page asks for its data at once; the history page
    // lists the accounts the grid then shows.
    accounts_->LoadAccounts(/*reload=*/false);
    history_->FillAccounts();
    return true;
}

TVPB_EXPORT_MODULE(CTVPB2100)
