#pragma once
#include <QWidget>
#include "PlatformExport.h"

class QLabel;

namespace platform {

// Geometry of the handheld screen.
inline constexpr int kScreenWidth = 240;
inline constexpr int kTitleBarHeight = 26;
inline constexpr int kWorkAreaHeight = 294;
inline constexpr int kScreenHeight = kTitleBarHeight + kWorkAreaHeight;

// The device-shaped window: a 240x26 title bar (icon image 26x26 at (0,0), title
// image 213x26 at (27,0)) over a 240x294 work area. Every module screen and pop-up
// is placed exactly over the work area; message boxes are centred over the frame.
class TVPB_PLATFORM_EXPORT DeviceFrame : public QWidget {
    Q_OBJECT
public:
    explicit DeviceFrame(QWidget* parent = nullptr);
    ~DeviceFrame() override;

    // The frame of this process (the last one created), or nullptr.
    static DeviceFrame* instance();

    QWidget* titleBar() const;
    QWidget* workArea() const;
    // Title-bar images (files in the program folder); a missing file leaves a plain bar.
    void setTitleImages(const QString& iconFile, const QString& titleFile);
    void setCaption(const QString& caption);
    // A program without title images (the updater) shows its caption in the
    // title bar, as the handheld's task bar shows the active window's caption.
    void showCaptionInTitleBar(const QString& caption);

signals:
    // A stylus tap on the bare work area (no screen over it).
    void bareTapped();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* titleBar_ = nullptr;
    QLabel* icon_ = nullptr;
    QLabel* title_ = nullptr;
    QWidget* work_ = nullptr;
};

// Places a screen or pop-up exactly over the work area of the frame (0,26 240x294).
// Without a frame the widget is simply resized to 240x294.
TVPB_PLATFORM_EXPORT void placeOnWorkArea(QWidget* w);

// Centres a message box or small window over the frame.
TVPB_PLATFORM_EXPORT void centreOverFrame(QWidget* w);

} // namespace platform
