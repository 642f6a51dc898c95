#include "VelcorSignDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "EngineTexts.h"
#include "Services.h"

namespace velcor {

VelcorSignDialog::VelcorSignDialog(const std::vector<CertificateInfo>& certificates, QWidget* parent)
    : platform::DialogBase(parent), m_certificates(certificates)
{
    setObjectName(QStringLiteral("VelcorSignDialog"));
    setWindowTitle(QStringLiteral("인증서 서명"));

    auto* title = new QLabel(QStringLiteral("서명할 인증서를 선택하십시오"), this);
    title->setObjectName(QStringLiteral("titleLabel"));
    title->setWordWrap(true);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("certificateList"));
    for (const CertificateInfo& c : m_certificates) {
        const QString text = QStringLiteral("%1 (%2)").arg(QString::fromStdString(c.userName),
                                                           QString::fromStdString(c.userId));
        m_list->addItem(text);
    }
    if (m_list->count() > 0)
        m_list->setCurrentRow(0);

    auto* passwordLabel = new QLabel(QStringLiteral("인증서 비밀번호"), this);
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("passwordEdit"));
    m_password->setEchoMode(QLineEdit::Password);
    passwordLabel->setBuddy(m_password);

    m_error = new QLabel(this);
    m_error->setObjectName(QStringLiteral("errorLabel"));
    m_error->setWordWrap(true);
    m_error->setStyleSheet(QStringLiteral("color: rgb(200,0,0);"));

    auto* ok = new QPushButton(QStringLiteral("확인"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setAutoDefault(false);
    auto* cancel = new QPushButton(QStringLiteral("취소"), this);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &VelcorSignDialog::onOk);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(m_list, 1);
    layout->addWidget(passwordLabel);
    layout->addWidget(m_password);
    layout->addWidget(m_error);
    layout->addLayout(buttons);

    // The password is free text: the input panel is offered while the prompt is up.
    platform::setInputPanelVisible(true);
}

VelcorSignDialog::~VelcorSignDialog()
{
    platform::setInputPanelVisible(false);
}

void VelcorSignDialog::onOk()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= static_cast<int>(m_certificates.size())) {
        m_error->setText(QStringLiteral("인증서를 선택하십시오"));
        return;
    }
    const QString password = m_password->text();
    if (password.isEmpty()) {
        m_error->setText(QStringLiteral("비밀번호를 입력하십시오"));
        m_password->setFocus();
        return;
    }
    QByteArray utf8 = password.toUtf8();
    std::string secret(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    utf8.fill('\0');
    std::string why;
    platform::beginWait();
    m_unlocked = unlockCertificate(m_certificates[static_cast<std::size_t>(row)].filePath, secret, &why);
    platform::endWait();
    std::fill(secret.begin(), secret.end(), '\0');
    m_password->clear();
    if (m_unlocked) {
        accept();
        return;
    }
    if (why == text::kWrongPassword)
        ++m_wrongPasswords;
    m_lastFailure = why;
    m_error->setText(QString::fromStdString(why));
    m_password->setFocus();
    if (m_wrongPasswords >= kMaxTries)
        reject();
}

} // namespace velcor
