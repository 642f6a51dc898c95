#pragma once
#include "CModuleFrame.h"

class CNoticeListPage;

// Module 3400, the notices (dialog 3400, caption "공지사항"): the information
// family's top bar and one tab page "공지사항" with the notice list (182).
class CTVPB3400 : public CModuleFrame {
    Q_OBJECT
public:
    enum { IDD = 3400 };
    explicit CTVPB3400(QWidget* parent = nullptr);
    ~CTVPB3400() override;

    CNoticeListPage* ListPage() const { return list_; }

protected:
    bool OnInitDialog() override;

private:
    CNoticeListPage* list_ = nullptr;
};
