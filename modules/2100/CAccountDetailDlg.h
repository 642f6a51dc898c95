#pragma once
#include <QString>
#include <QStringList>

#include "DialogBase.h"

class CBmpButton;
class CGridCtrl;
class CTVPB2100;
class QComboBox;

// Dialog 2120 "계좌상세-기본계좌": the items of one account's "PDA_A008"
// reply (labels from <free1>, values from <free0>), with an account combo and
// its own inquiry for another account.
class CAccountDetailDlg : public platform::DialogBase {
    Q_OBJECT
public:
    enum { IDD = 2120 };
    // numbers/codes: the accounts grid's rows up to the first empty one;
    // current: the index of the account the reply is about.
    CAccountDetailDlg(CTVPB2100* screen, const QString& reply, const QStringList& numbers, const QStringList& codes,
                      int current);
    ~CAccountDetailDlg() override;

    int DoModal();

    // Sends "PDA_A008" for one account (number as displayed, kind code with its
    // "A"); messages are owned by window. True with the decoded reply.
    static bool Inquire(QWidget* window, CTVPB2100* screen, const QString& code, const QString& number,
                        QString& reply);

    int CurrentIndex() const { return current_; }
    const QString& Reply() const { return reply_; }
    CGridCtrl* Grid() const { return grid_; }
    QComboBox* AccountCombo() const { return combo_; }

public slots:
    void On212001(); // close
    void On212002(); // inquiry

private:
    void buildGrid();

    CTVPB2100* screen_;
    QString reply_;
    QStringList numbers_;
    QStringList codes_;
    int current_;
    QComboBox* combo_ = nullptr;
    CGridCtrl* grid_ = nullptr;
    CBmpButton* close_ = nullptr;
    CBmpButton* inquiry_ = nullptr;
};
