#pragma once
#include "CModuleFrame.h"

class CBmpButton;
class CColorStatic;
class CGridCtrl;
class CNoticeBoard;

// Module 3500, the notices before login (dialog 3500, caption "공지사항"): one
// screen without top bar or tabs. It makes sure a network connection exists
// (modem mode dials the chosen entry), then lists the notices as module 3400
// does; 닫기 leads back to the start screen.
class CTVPB3500 : public CModuleFrame {
    Q_OBJECT
public:
    enum { IDD = 3500 };
    explicit CTVPB3500(QWidget* parent = nullptr);
    ~CTVPB3500() override;

    CNoticeBoard* Board() const { return board_; }
    // Whether the start found a connection (상세 and 이전으로 usable).
    bool IsConnected() const { return connected_; }

public slots:
    void On350001(); // 상세
    void On350002(); // 이전으로
    void On350003(); // 뒤로
    void On350005(); // 닫기

protected:
    bool OnInitDialog() override;

private:
    bool ConnectFirst();
    void enableButtons();

    CColorStatic* time_ = nullptr;
    CGridCtrl* grid_ = nullptr;
    CBmpButton* forward_ = nullptr;
    CBmpButton* next_ = nullptr;
    CBmpButton* first_ = nullptr;
    CBmpButton* detail_ = nullptr;
    CBmpButton* close_ = nullptr;
    CNoticeBoard* board_ = nullptr;
    bool connected_ = false;
};
