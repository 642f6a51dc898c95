#pragma once
#include "CAccountListPage.h"

// Page 3240 "출금계좌 등록/삭제": the registered withdrawal accounts (PDA_A003
// records with transfer flag "1", or "3" when hidden from the inquiry
// screens) in the visible grid, the user's other
// accounts in a second grid outside the visible area; 등록 and 삭제 open the
// withdrawal account dialog, 이전으로 reloads.
class CWithdrawAccountPage : public CAccountListPage {
    Q_OBJECT
public:
    enum { IDD = 3240 };
    explicit CWithdrawAccountPage(CTVPB3200* screen);
    ~CWithdrawAccountPage() override;

    // The load at page creation: a failure empties both grids.
    void LoadFirst();
    CGridCtrl* OtherGrid() const { return other_; }
    int RegisteredCount() const { return registered_; }
    int OtherCount() const { return others_; }

public slots:
    void OnRegister(); // 등록
    void OnDelete();   // 삭제

protected:
    BOOL OnInitDialog() override;
    QString listQuery() const override;
    void showList(const QString& reply) override;

private:
    CGridCtrl* other_ = nullptr;
    int registered_ = 0;
    int others_ = 0;
};
