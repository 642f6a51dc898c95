#pragma once
#include <QList>

#include "CLossListPage.h"
#include "LossRecords.h"

// Page 171 "예금통장": the user's passbooks (PDA_R001); 확인 reports the
// selected one (PDA_R002) with the account password from the keypad;
// 이전으로 reloads. (Its 취소 button exists but stays hidden.)
class CPassbookLossPage : public CLossListPage {
    Q_OBJECT
public:
    enum { IDD = 171 };
    explicit CPassbookLossPage(CTVPB3300* screen);
    ~CPassbookLossPage() override;

    void LoadList();

    const QList<loss::PassbookRecord>& Passbooks() const { return passbooks_; }
    // The password kept for the report under way (empty otherwise).
    const QString& PendingPassword() const { return password_; }

    enum { ColType = 0, ColAccount = 1, ColBalance = 2 };

public slots:
    void OnConfirm(); // 확인
    void OnReload();  // 이전으로

protected:
    BOOL OnInitDialog() override;

private:
    QList<loss::PassbookRecord> passbooks_;
    QString password_;
};
