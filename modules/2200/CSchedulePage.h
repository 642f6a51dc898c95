#pragma once
#include <QString>

#include "CExTabPage.h"

class CGridCtrl;
class CTVPB2200;

// Page 2260 "예약이체관리": the scheduled transfers (PDA_T006) in a visible grid
// with a hidden companion grid, the detail of one (no request) and the
// deletion of one not yet carried out (PDA_T007), after which the list is
// requested again. The list loads on the tab's first visit and on reload.
class CSchedulePage : public CExTabPage {
    Q_OBJECT
public:
    enum { IDD = 2260 };
    explicit CSchedulePage(CTVPB2200* screen);
    ~CSchedulePage() override;

    void LoadList();
    CGridCtrl* Grid() const { return grid_; }
    CGridCtrl* HiddenGrid() const { return hidden_; }
    int RecordCount() const { return records_; }

    enum { ColDate = 0, ColBankAccount = 1, ColResult = 2, ColBank = 3, ColAccount = 4 };
    enum { HidSource = 0, HidAmount = 1, HidRecipient = 2, HidSerial = 3 };
    static constexpr int kMinRows = 8;

public slots:
    void OnReload(); // button 1004
    void OnDetail(); // button 1006
    void OnDelete(); // button 1027

protected:
    BOOL OnInitDialog() override;

private:
    bool request(bool checkBusy);
    void layoutGrids(int records);

    CTVPB2200* screen_;
    CGridCtrl* grid_ = nullptr;
    CGridCtrl* hidden_ = nullptr;
    QString reply_;
    int records_ = 0;
};
