#pragma once
#include <QWidget>
#include "LatticeExport.h"
#include "LatticeTypes.h"

// Base of a tab page: a dialog-like panel whose parent is the owning screen.
// The tab control lays it over its page area and shows it while its tab is
// selected. Enter and Escape never leave the page.
class LATTICE_EXPORT CExTabPage : public QWidget {
    Q_OBJECT
public:
    explicit CExTabPage(int nIDTemplate = 0, QWidget* parent = nullptr);
    ~CExTabPage() override;

    int GetDlgID() const { return id_; }
    // Builds the page's controls once, the first time the page is added or shown.
    void InitOnce();

protected:
    // Called once before the page first appears; the page builds its controls here.
    virtual BOOL OnInitDialog() { return TRUE; }
    // Called whenever the page's tab becomes (or stops being) the selected one.
    virtual void OnActivatePage() {}
    virtual void OnDeactivatePage() {}

    void keyPressEvent(QKeyEvent* e) override;

private:
    friend class CExTabCtrl;
    int id_;
    bool initialised_ = false;
};
