#pragma once
// The signing prompt: the user picks a certificate of the store and enters its
// password. OK unlocks the certificate's key right there; a wrong password is
// said in the dialog, which stays open (up to three tries). Object names:
// "VelcorSignDialog", "certificateList", "passwordEdit", "errorLabel",
// "okButton", "cancelButton".
#include <optional>
#include <string>
#include <vector>

#include "Certificate.h"
#include "DialogBase.h"

class QLabel;
class QLineEdit;
class QListWidget;

namespace velcor {

class VelcorSignDialog : public platform::DialogBase {
    Q_OBJECT
public:
    static constexpr int kMaxTries = 3;

    VelcorSignDialog(const std::vector<CertificateInfo>& certificates, QWidget* parent = nullptr);
    ~VelcorSignDialog() override;

    // The unlocked key after the dialog closed with OK.
    const std::optional<UnlockedKey>& unlocked() const { return m_unlocked; }
    // Number of wrong passwords entered.
    int wrongPasswords() const { return m_wrongPasswords; }
    // Why the last unlock failed (Korean); empty when none failed.
    const std::string& lastFailure() const { return m_lastFailure; }

private:
    void onOk();

    std::vector<CertificateInfo> m_certificates;
    QListWidget* m_list = nullptr;
    QLineEdit* m_password = nullptr;
    QLabel* m_error = nullptr;
    std::optional<UnlockedKey> m_unlocked;
    int m_wrongPasswords = 0;
    std::string m_lastFailure;
};

} // namespace velcor
