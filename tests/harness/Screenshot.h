#pragma once
#include <QImage>
#include <QString>

class QWidget;

namespace harness {

// What the user sees: for a widget on the device frame (or nullptr) the whole
// device with its stacked screens and any message box or window over it; for any
// other widget, its own window.
QImage shotImage(QWidget* widget = nullptr);

// Writes shotImage(widget) as $TVPB_SHOTS/<name>.png when TVPB_SHOTS is set.
// Returns true when a file was written.
bool saveShot(QWidget* widget, const QString& name);

} // namespace harness
