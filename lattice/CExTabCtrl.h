#pragma once
#include <QPointer>
#include <QVector>
#include <QWidget>
#include "LatticeExport.h"
#include "LatticeTypes.h"

class QTabBar;
class CExTabPage;

// A tab control that owns no pages' parents: each page keeps the owning screen
// as its parent and is laid over the control's page area while its tab is
// selected. A tap on a tab selects it and reports selChanged(index).
class LATTICE_EXPORT CExTabCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CExTabCtrl(QWidget* parent = nullptr);
    ~CExTabCtrl() override;

    // Adds the page with its caption at index (0, 1, 2 ... ; -1 or beyond the end
    // appends). The first page added is selected. TRUE on success.
    BOOL AddPageEx(const QString& caption, int index, CExTabPage* page);
    BOOL RemovePage(int index);
    int GetItemCount() const;
    CExTabPage* GetPage(int index) const;
    int GetPageIndex(const CExTabPage* page) const;
    QString GetItemText(int index) const;

    int GetCurSel() const;
    // Selects a tab without the selChanged notification (as the platform does).
    int SetCurSel(int index);
    // Selects a tab as a tap does, with the notification.
    void SelectTab(int index);

    // Tabs above (default) or below the page area.
    void SetTabsAtBottom(bool bottom);
    // The page area in the coordinates of this control.
    QRect GetPageRect() const;
    QTabBar* tabBar() const { return bar_; }

signals:
    void selChanged(int index);

protected:
    void resizeEvent(QResizeEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    void layoutPages();
    void showCurrent(int previous);

    QTabBar* bar_;
    QVector<QPointer<CExTabPage>> pages_;
    bool bottom_ = false;
    bool silent_ = false;
    int current_ = -1;
};
