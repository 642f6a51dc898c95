#pragma once
#include <QList>
#include <QString>

#include "AccountRecords.h"
#include "CExTabPage.h"

class CBmpButton;
class CColorStatic;
class CGridCtrl;
class CTVPB2100;

// Page 2110 "보유계좌": the user's accounts with balances (PDA_U002), the
// server's date and time (PDA_T003), reload, and the account detail dialog.
class CAccountPage : public CExTabPage {
    Q_OBJECT
public:
    enum { IDD = 2110 };
    explicit CAccountPage(CTVPB2100* screen);
    ~CAccountPage() override;

    // Opening (reload false): a failed list empties the grid. Reload: a failed
    // list leaves the grid as it was; a good one also refills the history page.
    void LoadAccounts(bool reload);

    CGridCtrl* Grid() const { return grid_; }
    // Grid row of the selected account (1 ...), -1 for none.
    int SelectedRow() const { return selectedRow_; }
    int AccountCount() const { return count_; }
    const QString& LastReply() const { return lastReply_; }
    // Account number and kind code of grid row `row` (empty past the accounts).
    QString AccountAt(int row) const;
    QString CodeAt(int row) const;

    // Grid columns.
    enum { ColAccount = 0, ColBalance = 1, ColKind = 2, ColCode = 3 };
    static constexpr int kMinRows = 8;

public slots:
    void On211001(); // account detail
    void On211002(); // reload
    void OnRowTapped(int row);

protected:
    BOOL OnInitDialog() override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void layoutControls();
    void resetGrid();
    void fillGrid(const QList<inquiry::AccountRecord>& accounts);
    void showServerTime();

    CTVPB2100* screen_;
    CColorStatic* userName_ = nullptr;
    CColorStatic* dateTime_ = nullptr;
    CGridCtrl* grid_ = nullptr;
    CBmpButton* detail_ = nullptr;
    CBmpButton* reload_ = nullptr;
    int selectedRow_ = -1;
    int count_ = 0;
    QString lastReply_;
};
