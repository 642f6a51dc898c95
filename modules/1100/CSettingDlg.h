#pragma once
#include <DialogBase.h>

class QCheckBox;
class QComboBox;
class QRadioButton;
class CBmpButton;
class CRasEx;

// The settings dialog of the start screen ("환경 설정"): LAN or modem, the
// modem's phone-book entry, and whether the updater follows the same choice.
// OK writes the three values; cancel writes nothing.
class CSettingDlg : public platform::DialogBase {
    Q_OBJECT
public:
    explicit CSettingDlg(QWidget* parent = nullptr, CRasEx* ras = nullptr);
    ~CSettingDlg() override;

public slots:
    void OnOK();
    void OnCancel();

protected:
    void showEvent(QShowEvent* e) override;

private:
    void updateListVisibility();

    CRasEx* ras_;
    bool noModemWarned_ = false;
    int entryCount_ = 0;
    QRadioButton* lan_ = nullptr;
    QRadioButton* modem_ = nullptr;
    QComboBox* entries_ = nullptr;
    QCheckBox* equalVup_ = nullptr;
    CBmpButton* ok_ = nullptr;
    CBmpButton* cancel_ = nullptr;
};
