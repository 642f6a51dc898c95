#pragma once
// Result codes of the envelope's "msg" and the bank's texts for them.
namespace bankd::result {

inline constexpr const char* kOk = "10000";

inline constexpr const char* kSession = "BIZ06";
inline constexpr const char* kSessionText = "세션이 종료되었거나 유효하지 않습니다. 다시 로그인하십시오.";

inline constexpr const char* kMalformed = "BIZ01";
inline constexpr const char* kMalformedText = "요청 형식이 올바르지 않습니다.";

inline constexpr const char* kUnknownTrcode = "BIZ02";
inline constexpr const char* kUnknownTrcodeText = "지원하지 않는 거래입니다.";

inline constexpr const char* kWrongRoute = "BIZ03";
inline constexpr const char* kWrongRouteText = "보안 연결로만 이용할 수 있는 거래입니다.";

inline constexpr const char* kBadValue = "BIZ04";
inline constexpr const char* kBadValueText = "입력값이 올바르지 않습니다.";

inline constexpr const char* kTooMany = "BIZ07";
inline constexpr const char* kTooManyText = "요청이 너무 많습니다. 잠시 후 다시 이용하십시오.";

inline constexpr const char* kLoginFailed = "LGN01";
inline constexpr const char* kLoginFailedText = "이용자ID 또는 비밀번호가 일치하지 않습니다.";

inline constexpr const char* kLocked = "LGN02";
inline constexpr const char* kLockedText = "비밀번호 연속 오류로 이용이 제한되었습니다. 영업점에 문의하십시오.";

// The security means (security card or certificate) after five wrong values.
inline constexpr const char* kSecurityLocked = "SEC01";
inline constexpr const char* kSecurityLockedText = "보안매체 연속 오류로 거래가 제한되었습니다. 영업점에 문의하십시오.";

inline constexpr const char* kNoNotice = "NTC01";
inline constexpr const char* kNoNoticeText = "해당 공지사항이 없습니다.";

inline constexpr const char* kSystem = "SYS01";
inline constexpr const char* kSystemText = "일시적인 장애로 처리할 수 없습니다. 잠시 후 다시 이용하십시오.";

inline constexpr const char* kNotOwnAccount = "ACC01";
inline constexpr const char* kNotOwnAccountText = "조회할 수 없는 계좌입니다. 계좌번호를 확인하십시오.";

inline constexpr const char* kNoHistoryKind = "ACC02";
inline constexpr const char* kNoHistoryKindText = "거래내역을 조회할 수 없는 계좌입니다.";

inline constexpr const char* kUnknownCheque = "CHK01";
inline constexpr const char* kUnknownChequeText = "발행 내역이 없는 수표입니다. 수표번호를 확인하십시오.";

inline constexpr const char* kChequeMismatch = "CHK02";
inline constexpr const char* kChequeMismatchText = "수표의 발행점, 종류 또는 금액이 발행 내역과 다릅니다.";

// Login-free account inquiry: one refusal for an unknown account and a wrong
// password.
inline constexpr const char* kQuickAccount = "QCK01";
inline constexpr const char* kQuickAccountText = "계좌번호 또는 계좌비밀번호가 일치하지 않습니다.";
inline constexpr const char* kQuickLocked = "QCK02";
inline constexpr const char* kQuickLockedText = "계좌비밀번호 연속 오류로 거래가 제한되었습니다. 영업점에 문의하십시오.";
inline constexpr const char* kQuickRange = "QCK03";
inline constexpr const char* kQuickRangeText = "조회기간은 시작일이 종료일 이전이어야 하며 1년 이내여야 합니다.";

inline constexpr const char* kNoRates = "FXR01";
inline constexpr const char* kNoRatesText = "해당일자에 고시된 환율이 없습니다.";

// Enrolment: ENR0n carries identification outcome n; ENR07 and ENR08 the
// registration's own checks.
inline constexpr const char* kEnrolPassword = "ENR07";
inline constexpr const char* kEnrolPasswordText = "비밀번호는 영문과 숫자를 혼합한 4~8자리로, 두 번 똑같이 입력하십시오.";
inline constexpr const char* kEnrolAccount = "ENR08";
inline constexpr const char* kEnrolAccountText = "본인 명의의 입출금이 자유로운 예금계좌와 그 비밀번호를 입력하십시오.";

} // namespace bankd::result
