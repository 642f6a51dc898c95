#pragma once
// The carrier login dialog: which mobile carrier the modem uses, whether to keep
// the choice, and (for LGT only) the modem's phone number.
#include <QString>
#include "CRasDlgBase.h"

class CColorStatic;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class DIALKIT_EXPORT CRasLoginDlg : public CRasDlgBase {
    Q_OBJECT
public:
    explicit CRasLoginDlg(const QString& title, QWidget* parent = nullptr);

    // Results, valid once the dialog has closed with "확인".
    QString carrier() const { return m_strTelecom; }
    QString phoneNumber() const { return m_strPhone; }
    int saveFlag() const { return m_nSave; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onCarrierChanged();
    void onOk();

    CColorStatic* m_title = nullptr;
    QComboBox* m_carrier = nullptr;
    QCheckBox* m_save = nullptr;
    QLabel* m_phoneLabel = nullptr;
    QLineEdit* m_phone = nullptr;
    QPushButton* m_ok = nullptr;

    QString m_strTelecom;
    QString m_strPhone;
    int m_nSave = 0;
};
