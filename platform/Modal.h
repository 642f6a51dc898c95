#pragma once
#include <QString>
#include <functional>
#include "PlatformExport.h"

class QDialog;
class QWidget;
class QMessageBox;

namespace platform {

// Message-box flags and results, with the values of the original platform.
enum MbFlag : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30, // also MB_ICONEXCLAMATION
    MB_ICONINFORMATION = 0x40,
    MB_DEFBUTTON1 = 0x0,
    MB_DEFBUTTON2 = 0x100,
    MB_TOPMOST = 0x40000,
    MB_SETFOREGROUND = 0x10000,
};
inline constexpr unsigned MB_DEFBUTTON3 = 0x200;
enum MbResult : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// What a modal handler sees. For a message box, `box` is the fully built box
// (Korean standard buttons; its text is wrapped to the screen's width, the text
// as passed is also in its "tvpbText" property) and text/caption/flags are as passed. For a dialog,
// `dialog` is the dialog, already shown; the handler may drive it (type into its
// fields, click its buttons) and returns the result exec() would have returned.
struct ModalRequest {
    enum Kind { MessageBox, Dialog } kind = MessageBox;
    QString text;
    QString caption;
    unsigned flags = 0;
    QMessageBox* box = nullptr;
    QDialog* dialog = nullptr;
};
using ModalHandler = std::function<int(ModalRequest&)>;

// Installs a handler that answers every modal instead of running its event loop
// (tests). Passing an empty handler restores the real modal loops.
TVPB_PLATFORM_EXPORT void setModalHandler(ModalHandler handler);
TVPB_PLATFORM_EXPORT bool hasModalHandler();
// The installed handler (empty when none), so that a handler can be replaced for
// a while and put back.
TVPB_PLATFORM_EXPORT ModalHandler modalHandler();

// The original's MessageBox: caption, text, flags; returns IDOK/IDCANCEL/IDYES/IDNO.
TVPB_PLATFORM_EXPORT int messageBox(QWidget* parent, const QString& text, const QString& caption,
                                    unsigned flags = MB_OK);

// Runs a dialog modally (exec) or hands it to the installed handler.
TVPB_PLATFORM_EXPORT int execModal(QDialog* dialog);

} // namespace platform
