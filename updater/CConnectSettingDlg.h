#pragma once
// The updater's connection settings window: LAN, or MODEM with a phone-book
// entry that is dialled on 확인 (the last one dialled is remembered).
#include <CRasDlgBase.h>

class CRasEx;
class QComboBox;
class QPushButton;
class QRadioButton;

namespace vup {

class CConnectSettingDlg : public CRasDlgBase {
    Q_OBJECT
public:
    CConnectSettingDlg(CRasEx* ras, QWidget* parent = nullptr);

    // TRUE once this window dialled a link that is up.
    bool dialled() const { return dialled_; }

protected:
    void showEvent(QShowEvent* e) override;

private:
    void tellNoModem();
    void onModeChanged();
    void onOk();

    CRasEx* ras_;
    QRadioButton* modem_ = nullptr;
    QRadioButton* lan_ = nullptr;
    QComboBox* entries_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    bool filled_ = false;
    bool dialled_ = false;
};

} // namespace vup
