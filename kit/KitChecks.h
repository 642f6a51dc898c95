#pragma once
// The checks every reply of a service module passes before a screen reads it.
#include <QString>

class QWidget;

// Raw reply of the download object: false (after ending the wait and showing a
// warning) when it is empty or begins with "Error:".
bool CheckReply(QWidget* window, const QString& reply);

// Decoded reply (the raw one on the open path): true when the bank answered
// "10000". With showSuccess the bank's message is shown as information. A
// "BIZ06" answer shows the message and asks about logging in again, which sets
// *nextModule and closes the screen. Other failures show their message and put
// the wait cursor back on.
bool CheckEnvelope(QWidget* window, int* nextModule, const QString& reply, bool showSuccess);

// "재 로그인하시겠습니까?": Yes sets *nextModule to 1100, No to 9999; then every
// pop-up from the window up to the module screen is closed, the module screen
// last, which hands the code to the shell.
void AskRelogin(QWidget* window, int* nextModule);

namespace kit {
inline constexpr const char16_t* kNullReply = u"수신 자료에 오류(Null)가 검출되었습니다";
inline constexpr const char16_t* kBadReply = u"수신 자료에 오류가 검출되었습니다";
inline constexpr const char16_t* kReplyFormat = u"자료 수신 오류";
inline constexpr const char16_t* kReloginQuestion = u"재 로그인하시겠습니까?";
inline constexpr const char16_t* kReloginCaption = u"재 로그인";
} // namespace kit
