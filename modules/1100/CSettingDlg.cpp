#include "CSettingDlg.h"

#include <NetSettings.h>

#include <CBmpButton.h>
#include <CColorStatic.h>
#include <CRasEx.h>
#include <Modal.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QRadioButton>

CSettingDlg::CSettingDlg(QWidget* parent, CRasEx* ras) : platform::DialogBase(parent), ras_(ras)
{
    setObjectName(QStringLiteral("CSettingDlg"));
    setWindowTitle(QStringLiteral("환경 설정"));
    setFixedSize(240, 294);
    setAutoFillBackground(true);

    auto* title = new CColorStatic(QStringLiteral("환경 설정"), this);
    title->setObjectName(QStringLiteral("label1011"));
    title->SetBkColor(RGB(128, 255, 255));
    title->SetTextColor(RGB(0, 0, 0));
    title->SetAlignment(DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    title->setGeometry(0, 0, 240, 24);

    auto* help = new CColorStatic(
        QStringLiteral("1. 유,무선 모뎀을 사용할 경우는 'Modem'을, 유,무선 랜카드를 사용할 경우는 'LAN'을 "
                       "선택하세요.\r\n2. 유,무선 모뎀을 사용할 경우라도 이미 인터넷에 연결되어있다면 'LAN'을 "
                       "선택하셔야합니다."),
        this);
    help->setObjectName(QStringLiteral("label1023"));
    help->SetBkColor(RGB(192, 255, 192));
    help->SetTextColor(RGB(0, 0, 0));
    help->SetAlignment(DT_LEFT | DT_WORDBREAK);
    help->setWordWrap(true);
    help->setGeometry(4, 28, 232, 104);

    auto* group = new QGroupBox(QStringLiteral("접속 설정"), this);
    group->setObjectName(QStringLiteral("group"));
    group->setGeometry(4, 136, 232, 78);
    lan_ = new QRadioButton(QStringLiteral("LAN(Local Area Network)"), group);
    lan_->setObjectName(QStringLiteral("radio1021"));
    lan_->setGeometry(8, 20, 216, 22);
    modem_ = new QRadioButton(QStringLiteral("Modem"), group);
    modem_->setObjectName(QStringLiteral("radio1022"));
    modem_->setGeometry(8, 48, 70, 22);
    auto* radios = new QButtonGroup(this);
    radios->addButton(lan_, 0);
    radios->addButton(modem_, 1);
    entries_ = new QComboBox(group);
    entries_->setObjectName(QStringLiteral("combo1013"));
    entries_->setGeometry(80, 47, 146, 24);

    equalVup_ = new QCheckBox(QStringLiteral("업그레이드시에도 이 설정을 따름"), this);
    equalVup_->setObjectName(QStringLiteral("check1026"));
    equalVup_->setGeometry(8, 222, 228, 22);

    ok_ = new CBmpButton(this);
    ok_->setObjectName(QStringLiteral("button1014"));
    ok_->LoadBitmap(QStringLiteral("BMP\\확인_4524.bmp"), QStringLiteral("BMP\\확인_4524_d.bmp"), QString());
    ok_->setGeometry(70, 256, 45, 24);
    cancel_ = new CBmpButton(this);
    cancel_->setObjectName(QStringLiteral("button1015"));
    cancel_->LoadBitmap(QStringLiteral("BMP\\취소_4524.bmp"), QStringLiteral("BMP\\취소_4524_d.bmp"), QString());
    cancel_->setGeometry(125, 256, 45, 24);
    connect(ok_, &CBmpButton::clicked, this, &CSettingDlg::OnOK);
    connect(cancel_, &CBmpButton::clicked, this, &CSettingDlg::OnCancel);
    connect(lan_, &QRadioButton::toggled, this, &CSettingDlg::updateListVisibility);
    connect(modem_, &QRadioButton::toggled, this, &CSettingDlg::updateListVisibility);

    // Current values.
    const int option = netsettings::ReadNetworkConnectOption();
    if (option == 0) lan_->setChecked(true);
    else if (option == 1) modem_->setChecked(true);

    QString names[10];
    int count = 0;
    CRasEx local;
    CRasEx* rasEx = ras_ ? ras_ : &local;
    if (rasEx->RAS_GetEntryNames(&count, names)) {
        for (int i = 0; i < count && i < 10; ++i) entries_->addItem(names[i]);
    }
    entryCount_ = entries_->count();
    entries_->setCurrentIndex(entries_->findText(netsettings::ReadConnectModem(), Qt::MatchExactly));
    equalVup_->setChecked(netsettings::ReadEqualVUP() != 0);
    updateListVisibility();
}

CSettingDlg::~CSettingDlg() = default;

void CSettingDlg::showEvent(QShowEvent* e)
{
    platform::DialogBase::showEvent(e);
    if (entryCount_ == 0 && !noModemWarned_) {
        noModemWarned_ = true;
        platform::messageBox(this,
                             QStringLiteral("PDA에 설치된 무선모뎀이 없습니다. 먼저 무선모뎀을 설치하신후 접속을 "
                                            "시도하시기 바랍니다. 모선모뎀에 관한 문의사항은 각 제조사로 연락하세요."),
                             QStringLiteral("무선모뎀설치 요망"), platform::MB_OK | platform::MB_ICONINFORMATION);
    }
}

void CSettingDlg::updateListVisibility()
{
    entries_->setVisible(!lan_->isChecked());
}

void CSettingDlg::OnOK()
{
    const int option = lan_->isChecked() ? 0 : modem_->isChecked() ? 1 : -1;
    netsettings::WriteNetworkConnectOption(option);
    netsettings::WriteConnectModem(entries_->currentIndex() >= 0 ? entries_->currentText() : QString());
    netsettings::WriteEqualVUP(equalVup_->isChecked() ? 1 : 0);
    done(1);
}

void CSettingDlg::OnCancel()
{
    done(2);
}
