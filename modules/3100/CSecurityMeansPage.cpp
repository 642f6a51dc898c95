#include "CSecurityMeansPage.h"

#include <QButtonGroup>
#include <QRadioButton>

#include "CBmpButton.h"
#include "CCertInfoDlg.h"
#include "CSecInfoDlg.h"
#include "CTVPB3100.h"
#include "CUserInfo.h"
#include "KitQuery.h"
#include "KitRequest.h"

CSecurityMeansPage::CSecurityMeansPage(CTVPB3100* screen) : CExTabPage(IDD, screen), screen_(screen) {}

CSecurityMeansPage::~CSecurityMeansPage() = default;

BOOL CSecurityMeansPage::OnInitDialog()
{
    auto button = [this](const char* name, const QString& image, int x, int y, int w) {
        auto* b = new CBmpButton(this);
        b->setObjectName(QString::fromLatin1(name));
        b->LoadBitmap(QStringLiteral("BMP\\%1.bmp").arg(image), QStringLiteral("BMP\\%1_d.bmp").arg(image), QString());
        b->setGeometry(x, y, w, 24);
        return b;
    };
    card_ = new QRadioButton(QStringLiteral("보안카드"), this);
    card_->setObjectName(QStringLiteral("radioCard"));
    card_->setGeometry(16, 40, 110, 24);
    cert_ = new QRadioButton(QStringLiteral("공인인증서"), this);
    cert_->setObjectName(QStringLiteral("radioCert"));
    cert_->setGeometry(16, 80, 110, 24);
    // Exclusive by hand: a group starts with neither checked for an unknown means.
    auto* group = new QButtonGroup(this);
    group->addButton(card_);
    group->addButton(cert_);
    connect(button("btnCardGuide", QStringLiteral("보안카드안내_9024"), 136, 40, 90), &QAbstractButton::clicked, this,
            &CSecurityMeansPage::OnCardGuide);
    connect(button("btnCertGuide", QStringLiteral("공인인증서안내_9024"), 136, 80, 90), &QAbstractButton::clicked,
            this, &CSecurityMeansPage::OnCertGuide);
    connect(button("btnSave", QStringLiteral("저장_4524"), 97, 140, 45), &QAbstractButton::clicked, this,
            &CSecurityMeansPage::OnSave);

    const QString way = screen_->User() ? screen_->User()->GetSecurityWay() : QString();
    card_->setChecked(way == QLatin1String("S"));
    cert_->setChecked(way == QLatin1String("K"));
    return TRUE;
}

void CSecurityMeansPage::OnCardGuide()
{
    CSecInfoDlg dlg(screen_);
    dlg.DoModal();
}

void CSecurityMeansPage::OnCertGuide()
{
    CCertInfoDlg dlg(screen_);
    dlg.DoModal();
}

void CSecurityMeansPage::OnSave()
{
    if (KitRequest::IsBusy(screen_->Session(), screen_->Download()))
        return;
    CUserInfo* user = screen_->User();
    QString way = user ? user->GetSecurityWay() : QString();
    if (card_->isChecked())
        way = QStringLiteral("S");
    else if (cert_->isChecked())
        way = QStringLiteral("K");
    KitRequest req = screen_->Request(screen_);
    QString reply;
    if (!req.SendPlain(FormatQuery(QStringLiteral("encrypt=1&trcode=PDA_I005&UserID=%s&secgb=%s"),
                                   {user ? user->GetUserID() : QString(), way}),
                       reply, /*showSuccess=*/true))
        return;
    if (user)
        user->SetSecurityWay(way);
}
