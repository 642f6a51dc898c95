#include "CTVPB2300.h"

#include "CLoanListPage.h"
#include "CQD.h"
#include "ModuleCodes.h"

namespace {
// The module library's one download object, created when the library loads.
CQD g_download;
} // namespace

CTVPB2300::CTVPB2300(QWidget* parent) : CModuleFrame(kit::kModuleLoans, kit::TopBarFamily::Account, parent)
{
    setWindowTitle(QStringLiteral("대출"));
    SetDownload(&g_download);
}

CTVPB2300::~CTVPB2300() = default;

bool CTVPB2300::OnInitDialog()
{
    general_ = new CLoanListPage(this, CLoanListPage::General);
    credit_ = new CLoanListPage(this, CLoanListPage::CreditLine);
    general_->setObjectName(QStringLiteral("page130"));
    credit_->setObjectName(QStringLiteral("page135"));
    AddPage(QStringLiteral("일반대출계좌"), general_);
    AddPage(QStringLiteral("한도대출계좌"), credit_);
    // The general list is asked for as the module opens.
    general_->LoadList(/*byButton=*/false);
    return true;
}

void CTVPB2300::OnTabFirstVisit(int index, CExTabPage*)
{
    if (index == 1 && credit_)
        credit_->LoadList(/*byButton=*/false);
}

TVPB_EXPORT_MODULE(CTVPB2300)
