#include "CTVPB3400.h"

#include "CNoticeBoard.h"
#include "CNoticeListPage.h"
#include "CQD.h"
#include "ModuleCodes.h"

namespace {
// The module library's one download object, created when the library loads.
CQD g_download;
} // namespace

CTVPB3400::CTVPB3400(QWidget* parent) : CModuleFrame(kit::kModuleNotices, kit::TopBarFamily::Information, parent)
{
    setWindowTitle(QStringLiteral("공지사항"));
    SetDownload(&g_download);
}

CTVPB3400::~CTVPB3400() = default;

bool CTVPB3400::OnInitDialog()
{
    list_ = new CNoticeListPage(this);
    list_->setObjectName(QStringLiteral("page182"));
    AddPage(QStringLiteral("공지사항"), list_);
    list_->Board()->FirstPage(/*atStart=*/true);
    return true;
}

TVPB_EXPORT_MODULE(CTVPB3400)
