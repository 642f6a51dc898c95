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

    // A close asked for before the dialog was shown (a reply read while the
    // dialog was being built ended it) is not lost: the dialog closes with that
    // result as soon as it is shown, so its modal run ends at once.
    void done(int result) override;
    bool CloseAskedEarly() const { return closeAsked_; }
    int EarlyCloseResult() const { return closeResult_; }

private:
    bool closeAsked_ = false;
    int closeResult_ = 0;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    bool event(QEvent* e) override;
    void showEvent(QShowEvent* e) override;
};

} // namespace platform
