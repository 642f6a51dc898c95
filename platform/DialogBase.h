#pragma once
#include <QDialog>
#include "PlatformExport.h"

namespace platform {

// Base of every screen and pop-up of the suite: Enter and Escape key-downs are
// swallowed (they never close a dialog nor press a default button), and at
// show time the dialog sits over the frame's work area.
class TVPB_PLATFORM_EXPORT DialogBase : public QDialog {
    Q_OBJECT
public:
    explicit DialogBase(QWidget* parent = nullptr);
    ~DialogBase() override;

    // Runs the dialog modally through the platform's modal seam (execModal).
    int doModal();

    // Showing places the dialog on the work area first (see placeOnWorkArea).
    void setVisible(bool visible) override;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
};

} // namespace platform
