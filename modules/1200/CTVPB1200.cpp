#include "CTVPB1200.h"

#include "CBmpButton.h"
#include "CChequePage.h"
#include "CExTabCtrl.h"
#include "CQuickAccountPage.h"
#include "CRatePage.h"
#include "LoginFreeRequest.h"
#include "Modal.h"
#include "ModuleCodes.h"

CTVPB1200::CTVPB1200(QWidget* parent) : CModuleFrame(kit::kModuleQuickInquiry, parent)
{
    setWindowTitle(QStringLiteral("스피드 조회"));
    // Closing by any other means hands nothing to the shell.
    SetPostOnlyChosenModule(true);
}

CTVPB1200::~CTVPB1200() = default;

bool CTVPB1200::OnInitDialog()
{
    account_ = new CQuickAccountPage(this);
    cheque_ = new CChequePage(133, this, ChequePageStyle::QuickInquiry(), [this] { InquireCheque(); });
    rates_ = new CRatePage(this);
    AddPage(QStringLiteral("계좌조회"), account_);
    AddPage(QStringLiteral("수표조회"), cheque_);
    AddPage(QStringLiteral("환율조회"), rates_);
    account_->setObjectName(QStringLiteral("page130"));
    cheque_->setObjectName(QStringLiteral("page133"));
    rates_->setObjectName(QStringLiteral("page135"));

    // Over the pages, at the bottom right of every tab.
    close_ = new CBmpButton(TabCtrl());
    close_->setObjectName(QStringLiteral("btnClose"));
    close_->LoadBitmap(QStringLiteral("BMP\\닫기_5024.bmp"), QStringLiteral("BMP\\닫기_5024_d.bmp"), QString());
    close_->SizeToContent();
    close_->move(186, 266);
    close_->raise();
    connect(close_, &QAbstractButton::clicked, this, &CTVPB1200::On120001);
    return true;
}

bool CTVPB1200::Send(QWidget* window, const QString& query, int encrypt, QString& data)
{
    return loginfree::Send(window, Session(), Ras(), query, encrypt, data);
}

void CTVPB1200::On120001()
{
    CloseWithModule(kit::kModuleLogin);
}

void CTVPB1200::InquireCheque()
{
    // No input checks here: the bank judges what was entered.
    QString data;
    if (!Send(this, cheque_->BuildQuery(), 1, data))
        return;
    auto field = [&](int n) { return loginfree::Field(Session(), data, QStringLiteral("list0"), n); };
    platform::messageBox(this, CChequePage::ResultText(field(1), field(2), field(3), field(4)),
                         QStringLiteral("수표조회 결과"), platform::MB_OK);
}

TVPB_EXPORT_MODULE(CTVPB1200)
