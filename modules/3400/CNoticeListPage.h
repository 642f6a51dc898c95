#pragma once
#include "CExTabPage.h"

class CBmpButton;
class CColorStatic;
class CGridCtrl;
class CNoticeBoard;
class CTVPB3400;

// Page 182 "공지사항": the server's date and time, the notice titles, and the
// buttons 상세 (detail), 이전으로 (first page), 뒤로 (next page) and 앞으로 (kept
// hidden).
class CNoticeListPage : public CExTabPage {
    Q_OBJECT
public:
    enum { IDD = 182 };
    explicit CNoticeListPage(CTVPB3400* screen);
    ~CNoticeListPage() override;

    CNoticeBoard* Board();
    CGridCtrl* Grid() const { return grid_; }

public slots:
    void On182001(); // 상세
    void On182002(); // 이전으로
    void On182003(); // 뒤로

protected:
    BOOL OnInitDialog() override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void layoutGrid();

    CTVPB3400* screen_;
    CColorStatic* time_ = nullptr;
    CGridCtrl* grid_ = nullptr;
    CBmpButton* forward_ = nullptr;
    CBmpButton* next_ = nullptr;
    CBmpButton* first_ = nullptr;
    CBmpButton* detail_ = nullptr;
    CNoticeBoard* board_ = nullptr;
};
