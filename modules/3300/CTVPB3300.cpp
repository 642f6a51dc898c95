#include "CTVPB3300.h"

#include "CCashCardLossPage.h"
#include "CCreditCardLossPage.h"
#include "CPassbookLossPage.h"
#include "CQD.h"
#include "KitPrompts.h"
#include "ModuleCodes.h"

namespace {
// The module library's one download object, created when the library loads.
CQD g_download;
} // namespace

CTVPB3300::CTVPB3300(QWidget* parent) : CModuleFrame(kit::kModuleLossReports, kit::TopBarFamily::Information, parent)
{
    setWindowTitle(QStringLiteral("분실신고"));
    SetDownload(&g_download);
}

CTVPB3300::~CTVPB3300() = default;

bool CTVPB3300::OnInitDialog()
{
    BeginWait();
    credit_ = new CCreditCardLossPage(this);
    cash_ = new CCashCardLossPage(this);
    passbooks_ = new CPassbookLossPage(this);
    credit_->setObjectName(QStringLiteral("page173"));
    cash_->setObjectName(QStringLiteral("page172"));
    passbooks_->setObjectName(QStringLiteral("page171"));
    AddPage(QStringLiteral("신용카드"), credit_);
    AddPage(QStringLiteral("현금카드"), cash_);
    AddPage(QStringLiteral("예금통장"), passbooks_);
    EndWait(true);
    // The credit cards load at once, the other pages on their first visit.
    credit_->LoadList();
    return true;
}

void CTVPB3300::OnTabFirstVisit(int index, CExTabPage*)
{
    if (index == 1 && cash_)
        cash_->LoadList();
    else if (index == 2 && passbooks_)
        passbooks_->LoadList();
}

TVPB_EXPORT_MODULE(CTVPB3300)
