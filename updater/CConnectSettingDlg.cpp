#include "CConnectSettingDlg.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <CColorStatic.h>
#include <CRasEx.h>
#include <ConnectNetwork.h>
#include <Modal.h>
#include <NetSettings.h>

namespace vup {

CConnectSettingDlg::CConnectSettingDlg(CRasEx* ras, QWidget* parent) : CRasDlgBase(parent), ras_(ras)
{
    setObjectName(QStringLiteral("connectSettingDlg"));
    setWindowTitle(QStringLiteral("인터넷 연결 설정"));

    auto* title = makeAccentLabel(QStringLiteral("▶ 버전 체크를 위한 인터넷 연결 ◀"), this);
    title->setObjectName(QStringLiteral("titleLabel"));
    title->setGeometry(2, 2, 236, 26);

    auto* group = new QGroupBox(QStringLiteral("인터넷 연결 설정"), this);
    group->setObjectName(QStringLiteral("connectGroup"));
    group->setGeometry(10, 50, 220, 120);
    modem_ = new QRadioButton(QStringLiteral("MODEM"), group);
    modem_->setObjectName(QStringLiteral("modemRadio"));
    modem_->setGeometry(10, 26, 80, 24);
    entries_ = new QComboBox(group);
    entries_->setObjectName(QStringLiteral("entryList"));
    entries_->setGeometry(92, 26, 118, 24);
    lan_ = new QRadioButton(QStringLiteral("LAN (Local Area Network)"), group);
    lan_->setObjectName(QStringLiteral("lanRadio"));
    lan_->setGeometry(10, 70, 200, 24);
    auto* modes = new QButtonGroup(this);
    modes->addButton(modem_);
    modes->addButton(lan_);

    ok_ = makeAccentButton(QStringLiteral("확    인"), this);
    ok_->setObjectName(QStringLiteral("okButton"));
    ok_->setGeometry(30, 200, 80, 28);
    cancel_ = makeAccentButton(QStringLiteral("취    소"), this);
    cancel_->setObjectName(QStringLiteral("cancelButton"));
    cancel_->setGeometry(130, 200, 80, 28);

    connect(modem_, &QRadioButton::toggled, this, &CConnectSettingDlg::onModeChanged);
    connect(lan_, &QRadioButton::toggled, this, &CConnectSettingDlg::onModeChanged);
    connect(ok_, &QPushButton::clicked, this, &CConnectSettingDlg::onOk);
    connect(cancel_, &QPushButton::clicked, this, &CConnectSettingDlg::reject);

    QString names[CRasEx::kMaxNames];
    int count = 0;
    ras_->RAS_GetEntryNames(&count, names);
    for (int i = 0; i < count; ++i) entries_->addItem(names[i]);
    entries_->setCurrentIndex(entries_->findText(netsettings::ReadVUPModem(), Qt::MatchExactly));
    (count > 0 ? modem_ : lan_)->setChecked(true);
    modem_->setEnabled(count > 0);
    onModeChanged();
}

void CConnectSettingDlg::showEvent(QShowEvent* e)
{
    CRasDlgBase::showEvent(e);
    if (filled_) return;
    filled_ = true;
    // Told over the window once it is up.
    if (entries_->count() == 0)
        QTimer::singleShot(0, this, &CConnectSettingDlg::tellNoModem);
}

void CConnectSettingDlg::tellNoModem()
{
    platform::messageBox(this,
                         QStringLiteral("PDA에 설치된 무선모뎀이 없습니다.\r\n설치된 무선모뎀이 없을경우 'LAN'연결만 "
                                        "가능합니다."),
                         QStringLiteral("메시지"), platform::MB_OK | platform::MB_ICONINFORMATION);
}

void CConnectSettingDlg::onModeChanged()
{
    entries_->setVisible(!lan_->isChecked());
}

void CConnectSettingDlg::onOk()
{
    if (lan_->isChecked()) {
        accept();
        return;
    }
    if (entries_->currentIndex() < 0) {
        platform::messageBox(this, QStringLiteral("연결하고자 하는 모뎀설정을 선택하세요."), QStringLiteral("메시지"),
                             platform::MB_OK | platform::MB_ICONINFORMATION);
        entries_->setFocus();
        return;
    }
    if (ras_->RAS_IsConnected()) {
        accept();
        return;
    }
    const QString entry = entries_->currentText();
    if (ras_->RAS_Connect(entry)) {
        dialled_ = true;
        netsettings::WriteVUPModem(entry);
        accept();
        return;
    }
    netsettings::ReportDialFailure(this, ras_);
    reject();
}

} // namespace vup
