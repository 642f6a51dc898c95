#pragma once
#include <QString>

#include "CExTabPage.h"

class CGridCtrl;
class CTVPB3200;

// What the withdrawal account and favourite deposit account pages share: the
// list grid under their row of buttons, the list request of the logged-in user
// with its reload (이전으로), and the selected row that 수정 and 삭제 work on.
class CAccountListPage : public CExTabPage {
    Q_OBJECT
public:
    ~CAccountListPage() override;

    CGridCtrl* Grid() const { return grid_; }

public slots:
    void OnReload(); // 이전으로

protected:
    CAccountListPage(int idd, CTVPB3200* screen);

    // The page's list grid, under the buttons.
    CGridCtrl* addListGrid(const char* objectName);
    // Whether a request is under way (the buttons then do nothing).
    bool busy() const;
    // The first selected row, or -1 after asking the user to choose one.
    int selectedRowOrAsk() const;
    // Sends the list request (listQuery() with the user ID for its "%s") and
    // shows the reply. A failure that is not a busy session shows the empty list
    // when `emptyOnFailure`; otherwise the list stays as it was.
    bool load(bool checkBusy, bool emptyOnFailure);
    // The list request's format ("encrypt=1&trcode=...&UserID=%s").
    virtual QString listQuery() const = 0;
    // Fills the grids from a list reply; an empty reply empties them.
    virtual void showList(const QString& reply) = 0;

    CTVPB3200* screen_;
    CGridCtrl* grid_ = nullptr;
};
