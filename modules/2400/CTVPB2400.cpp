#include "CTVPB2400.h"

#include "CCardInquiryPage.h"
#include "CCardPage.h"
#include "CCashPage.h"
#include "CQD.h"
#include "KitPrompts.h"
#include "ModuleCodes.h"

namespace {
// The module library's one download object, created when the library loads.
CQD g_download;
} // namespace

CTVPB2400::CTVPB2400(QWidget* parent) : CModuleFrame(kit::kModuleCards, kit::TopBarFamily::Account, parent)
{
    setWindowTitle(QStringLiteral("카드"));
    SetDownload(&g_download);
}

CTVPB2400::~CTVPB2400() = default;

bool CTVPB2400::OnInitDialog()
{
    company_ = QStringLiteral("H");
    BeginWait();
    cards_ = new CCardPage(this);
    cards_->setObjectName(QStringLiteral("page142"));
    AddPage(QStringLiteral("보유카드"), cards_);
    // The held-card list is loaded as the module opens.
    cards_->Load(/*byButton=*/false);
    inquiry_ = new CCardInquiryPage(this);
    inquiry_->setObjectName(QStringLiteral("page143"));
    AddPage(QStringLiteral("내역조회"), inquiry_);
    cash_ = new CCashPage(this);
    cash_->setObjectName(QStringLiteral("page149"));
    AddPage(QStringLiteral("현금서비스"), cash_);
    // Both pages copy their cards from the held-card list as they start.
    inquiry_->FillCards();
    cash_->FillCards();
    EndWait(true);
    return true;
}

TVPB_EXPORT_MODULE(CTVPB2400)
