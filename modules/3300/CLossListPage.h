#pragma once
#include <QList>
#include <QStringList>

#include "CExTabPage.h"

class CBmpButton;
class CGridCtrl;
class CTVPB3300;

// What the loss report pages share: the list grid over the whole page with
// 확인, 취소 and 이전으로 in a row at its bottom right, laid out to the page's
// size, and the list grid's look (header row 24 high, rows 22, every third row
// shaded).
class CLossListPage : public CExTabPage {
    Q_OBJECT
public:
    ~CLossListPage() override;

    CGridCtrl* Grid() const { return grid_; }

protected:
    CLossListPage(int idd, CTVPB3300* screen);

    // Creates the grid "lossGrid" and the buttons "btnConfirm", "btnCancel" and
    // "btnReload" (the page connects them) and lays them out.
    void createControls();
    void resizeEvent(QResizeEvent* e) override;
    // The grid with its header and one empty white row.
    void showEmptyList(const QStringList& headers, const QList<int>& widths);
    // The grid with its header and `rows` rows for the page to fill; then finishList().
    void layoutList(const QStringList& headers, const QList<int>& widths, int rows);
    // Columns sized to what was filled in, and redrawn.
    void finishList();

    CTVPB3300* screen_;
    CGridCtrl* grid_ = nullptr;
    CBmpButton* confirm_ = nullptr;
    CBmpButton* cancel_ = nullptr;
    CBmpButton* reload_ = nullptr;

private:
    void layoutControls();
};
