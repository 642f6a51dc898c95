#pragma once
#include <QString>

#include "CExTabPage.h"

class CGridCtrl;
class CTVPB3200;

// Page 3260 "계좌숨기기": every account with its hidden flag (PDA_A005, after
// the security step until the first load succeeds; later loads send the kept
// values with an empty means). A tap toggles a row; 저장 sends every row
// (PDA_A006), 취소 redisplays the last reply, 이전으로 reloads.
class CHideAccountPage : public CExTabPage {
    Q_OBJECT
public:
    enum { IDD = 3260 };
    explicit CHideAccountPage(CTVPB3200* screen);
    ~CHideAccountPage() override;

    void Load();
    CGridCtrl* Grid() const { return grid_; }
    bool Loaded() const { return loaded_; }
    int RecordCount() const { return records_; }
    // The security values kept since the first successful load.
    QString KeptRandomNum() const { return randomNum_; }

public slots:
    void OnSave();    // 저장
    void OnCancel();  // 취소
    void OnReload();  // 이전으로
    void OnRowTapped(int row);

protected:
    BOOL OnInitDialog() override;

private:
    bool load(bool checkBusy);
    void fill();

    CTVPB3200* screen_;
    CGridCtrl* grid_ = nullptr;
    QString reply_;
    int records_ = 0;
    bool loaded_ = false;
    QString randomNum_;
    QString secPwd_;
    QString signedMsg_;
};
