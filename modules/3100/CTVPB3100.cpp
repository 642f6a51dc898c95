#include "CTVPB3100.h"

#include "CCustomerInfoPage.h"
#include "CPasswordPage.h"
#include "CQD.h"
#include "CSecurityMeansPage.h"
#include "ModuleCodes.h"

namespace {
// The module library's one download object, created when the library loads.
CQD g_download;
} // namespace

CTVPB3100::CTVPB3100(QWidget* parent)
    : CModuleFrame(kit::kModuleCustomerInfo, kit::TopBarFamily::Information, parent)
{
    setWindowTitle(QStringLiteral("정보변경"));
    SetDownload(&g_download);
}

CTVPB3100::~CTVPB3100() = default;

bool CTVPB3100::OnInitDialog()
{
    security_ = new CSecurityMeansPage(this);
    password_ = new CPasswordPage(this);
    customer_ = new CCustomerInfoPage(this);
    security_->setObjectName(QStringLiteral("page3130"));
    password_->setObjectName(QStringLiteral("page3120"));
    customer_->setObjectName(QStringLiteral("page3110"));
    AddPage(QStringLiteral("이체수단변경"), security_);
    AddPage(QStringLiteral("이용자 비밀번호 변경"), password_);
    AddPage(QStringLiteral("고객정보확인"), customer_);
    return true;
}

void CTVPB3100::OnTabFirstVisit(int index, CExTabPage*)
{
    if (index == 2 && customer_)
        customer_->Load();
}

bool CTVPB3100::WantsInputPanel() const
{
    return password_ && password_->PasswordHasFocus();
}

TVPB_EXPORT_MODULE(CTVPB3100)
