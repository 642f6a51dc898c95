#pragma once
// Result codes and texts of the loss reports (envelope "msg").
namespace bankd::result {

inline constexpr const char* kLossCardOnly = "LOS01";
inline constexpr const char* kLossCardOnlyText = "신용카드 구분이 올바르지 않습니다.";
inline constexpr const char* kLossCardData = "LOS02";
inline constexpr const char* kLossCardDataText = "신고할 카드 자료가 올바르지 않습니다. 카드를 나누어 신고하십시오.";
inline constexpr const char* kLossNotOwnCard = "LOS03";
inline constexpr const char* kLossNotOwnCardText =
    "신고할 수 없는 카드가 포함되어 있습니다. 카드번호를 확인하십시오. (신고되지 않았습니다)";
inline constexpr const char* kLossNotOwnAccount = "LOS04";
inline constexpr const char* kLossNotOwnAccountText = "신고할 수 없는 계좌입니다. 계좌번호를 확인하십시오.";
inline constexpr const char* kLossPassword = "LOS05";
inline constexpr const char* kLossPasswordText = "계좌 비밀번호가 일치하지 않습니다.";
inline constexpr const char* kLossAccountLocked = "LOS06";
inline constexpr const char* kLossAccountLockedText =
    "비밀번호 연속 오류로 거래가 제한된 계좌입니다. 영업점에 문의하십시오.";

inline constexpr const char* kLossCardsDoneText = "선택하신 카드의 분실신고가 정상 처리되었습니다.";
inline constexpr const char* kLossPassbookDoneText = "예금통장 분실신고가 정상 처리되었습니다.";

} // namespace bankd::result
