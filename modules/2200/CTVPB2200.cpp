#include "CTVPB2200.h"

#include "CQD.h"
#include "CResultPage.h"
#include "CSchedulePage.h"
#include "CTransferPage.h"
#include "ModuleCodes.h"

namespace {
// The module library's one download object, created when the library loads.
CQD g_download;
} // namespace

CTVPB2200::CTVPB2200(QWidget* parent) : CModuleFrame(kit::kModuleTransfers, kit::TopBarFamily::Account, parent)
{
    setWindowTitle(QStringLiteral("이체"));
    SetDownload(&g_download);
}

CTVPB2200::~CTVPB2200() = default;

bool CTVPB2200::OnInitDialog()
{
    transfer_ = new CTransferPage(this);
    results_ = new CResultPage(this);
    schedule_ = new CSchedulePage(this);
    transfer_->setObjectName(QStringLiteral("page2210"));
    results_->setObjectName(QStringLiteral("page2240"));
    schedule_->setObjectName(QStringLiteral("page2260"));
    AddPage(QStringLiteral("이체처리"), transfer_);
    AddPage(QStringLiteral("이체결과"), results_);
    AddPage(QStringLiteral("예약이체관리"), schedule_);
    // The entry page asks for the source accounts as the module opens.
    transfer_->LoadSourceAccounts();
    return true;
}

void CTVPB2200::OnTabFirstVisit(int index, CExTabPage*)
{
    if (index == 2 && schedule_)
        schedule_->LoadList();
}

bool CTVPB2200::WantsInputPanel() const
{
    return transfer_ && transfer_->SenderHasFocus();
}

TVPB_EXPORT_MODULE(CTVPB2200)
