#pragma once
// Message boxes, prompts and the wait cursor shared by the service modules.
#include <QString>

class QWidget;

// OK box owned by the window: information ("확인", information icon) or
// warning ("오류", warning icon).
void ShowMsg(QWidget* window, const QString& text, bool information);
// The same box without an owner and with the program's own caption.
void ShowAlert(const QString& text, bool information);
// "종료 확인": true when the user chose Yes.
bool ConfirmExit(QWidget* window);
// Wait cursor on.
void BeginWait();
// Arrow cursor back; unless keepTaps, the stylus taps queued meanwhile are dropped.
void EndWait(bool keepTaps = false);

// The kit's own texts.
namespace kit {
inline constexpr const char16_t* kCaptionInfo = u"확인";
inline constexpr const char16_t* kCaptionError = u"오류";
inline constexpr const char16_t* kExitQuestion = u"타브린은행 PDA 뱅킹\n프로그램을\n종료하시겠습니까?";
inline constexpr const char16_t* kExitCaption = u"종료 확인";
} // namespace kit
