#pragma once
#include <QString>

#include "CAccountListPage.h"

class CWithdrawAccountPage;

// Page 3210 "자주쓰는 입금계좌관리": the favourite deposit accounts (PDA_A001);
// 등록 and 수정 open the entry dialog, 삭제 deletes the selected entry at once
// (PDA_A002 "3"), 이전으로 reloads. The entry dialog picks the inquiring
// withdrawal account from the withdrawal account page's two grids.
class CDepositAccountPage : public CAccountListPage {
    Q_OBJECT
public:
    enum { IDD = 3210 };
    CDepositAccountPage(CTVPB3200* screen, CWithdrawAccountPage* withdrawPage);
    ~CDepositAccountPage() override;

    // The load on the tab's first visit.
    void Load();
    int RecordCount() const { return records_; }

public slots:
    void OnRegister(); // 등록
    void OnModify();   // 수정
    void OnDelete();   // 삭제

protected:
    BOOL OnInitDialog() override;
    QString listQuery() const override;
    void showList(const QString& reply) override;

private:
    // Opens the entry dialog; reloads when it ended with OK.
    void edit(const QString& sqlType, int row);

    CWithdrawAccountPage* withdrawPage_;
    QString reply_;
    int records_ = 0;
};
