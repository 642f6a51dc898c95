#include "CRasLoginDlg.h"

#include "CColorStatic.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "Modal.h"
#include "Services.h"

namespace {
const QString kLgt = QStringLiteral("LGT");
}

CRasLoginDlg::CRasLoginDlg(const QString& title, QWidget* parent) : CRasDlgBase(parent) {
    setObjectName(QStringLiteral("rasLoginDlg"));
    setWindowTitle(title);

    m_title = makeAccentLabel(title, this);
    m_title->setObjectName(QStringLiteral("titleLabel"));
    m_title->setGeometry(2, 2, 236, 24);

    auto* carrierLabel = new QLabel(QStringLiteral("모뎀 통신망:"), this);
    carrierLabel->setObjectName(QStringLiteral("carrierLabel"));
    carrierLabel->setGeometry(12, 44, 96, 22);

    m_carrier = new QComboBox(this);
    m_carrier->setObjectName(QStringLiteral("carrierCombo"));
    m_carrier->addItems({QStringLiteral("SKT"), QStringLiteral("KTF"), kLgt});
    m_carrier->setCurrentIndex(-1);
    m_carrier->setGeometry(112, 42, 112, 24);

    m_save = new QCheckBox(QStringLiteral("정보저장"), this);
    m_save->setObjectName(QStringLiteral("saveCheck"));
    m_save->setChecked(true);
    m_save->setGeometry(12, 76, 120, 22);

    m_phoneLabel = new QLabel(QStringLiteral("모뎀 전화번호:"), this);
    m_phoneLabel->setObjectName(QStringLiteral("phoneLabel"));
    m_phoneLabel->setGeometry(12, 110, 96, 22);

    m_phone = new QLineEdit(this);
    m_phone->setObjectName(QStringLiteral("phoneEdit"));
    m_phone->setGeometry(112, 108, 112, 24);
    m_phone->setInputMethodHints(Qt::ImhDialableCharactersOnly);
    m_phone->installEventFilter(this);

    m_ok = makeAccentButton(QStringLiteral("확인"), this);
    m_ok->setObjectName(QStringLiteral("okButton"));
    m_ok->setGeometry(85, 150, 70, 26);

    m_phoneLabel->setVisible(false);
    m_phone->setVisible(false);

    connect(m_carrier, &QComboBox::currentIndexChanged, this, &CRasLoginDlg::onCarrierChanged);
    connect(m_ok, &QPushButton::clicked, this, &CRasLoginDlg::onOk);
}

void CRasLoginDlg::onCarrierChanged() {
    const bool lgt = m_carrier->currentText() == kLgt;
    m_phoneLabel->setVisible(lgt);
    m_phone->setVisible(lgt);
}

void CRasLoginDlg::onOk() {
    if (m_carrier->currentIndex() < 0) {
        platform::messageBox(this, QStringLiteral("통신망을 선택해 주십시요."), QStringLiteral("선택 오류"),
                             platform::MB_OK | platform::MB_ICONINFORMATION);
        m_carrier->setFocus();
        return;
    }
    const QString carrier = m_carrier->currentText();
    const QString phone = m_phone->text().trimmed();
    if (carrier == kLgt && phone.isEmpty()) {
        platform::messageBox(this, QStringLiteral("무선모뎀의 전화번호를 입력해 주십시요."), QStringLiteral("입력 오류"),
                             platform::MB_OK | platform::MB_ICONINFORMATION);
        m_phone->setFocus();
        return;
    }
    m_strTelecom = carrier;
    m_strPhone = phone;
    m_nSave = m_save->isChecked() ? 1 : 0;
    if (platform::inputPanelVisible())
        platform::setInputPanelVisible(false);
    accept();
}

bool CRasLoginDlg::eventFilter(QObject* watched, QEvent* event) {
    // The phone field brings up the input panel while it has the focus.
    if (watched == m_phone) {
        if (event->type() == QEvent::FocusIn)
            platform::setInputPanelVisible(true);
        else if (event->type() == QEvent::FocusOut)
            platform::setInputPanelVisible(false);
    }
    return CRasDlgBase::eventFilter(watched, event);
}
