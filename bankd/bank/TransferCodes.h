#pragma once
// Result codes and texts of the transfer transactions (envelope "msg"), and
// the result codes a scheduled transfer ends with.
namespace bankd::result {

inline constexpr const char* kTrfAccount = "TRF01";
inline constexpr const char* kTrfAccountText = "출금할 수 없는 계좌입니다. 출금계좌를 확인하십시오.";
inline constexpr const char* kTrfPassword = "TRF02";
inline constexpr const char* kTrfPasswordText = "계좌 비밀번호가 일치하지 않습니다.";
inline constexpr const char* kTrfAccountLocked = "TRF03";
inline constexpr const char* kTrfAccountLockedText = "비밀번호 연속 오류로 거래가 제한된 계좌입니다. 영업점에 문의하십시오.";
inline constexpr const char* kTrfBank = "TRF04";
inline constexpr const char* kTrfBankText = "입금은행을 확인하십시오.";
inline constexpr const char* kTrfRecipient = "TRF05";
inline constexpr const char* kTrfRecipientText = "입금계좌를 확인하십시오.";
inline constexpr const char* kTrfAmount = "TRF06";
inline constexpr const char* kTrfAmountText = "거래금액을 확인하십시오.";
inline constexpr const char* kTrfFunds = "TRF07";
inline constexpr const char* kTrfFundsText = "잔액이 부족합니다.";
inline constexpr const char* kTrfLimit = "TRF08";
inline constexpr const char* kTrfLimitText = "이체 한도를 초과하였습니다.";
inline constexpr const char* kTrfDate = "TRF09";
inline constexpr const char* kTrfDateText = "이체일자를 확인하십시오. 예약이체는 90일 이내로 지정하십시오.";
inline constexpr const char* kTrfNoQuote = "TRF10";
inline constexpr const char* kTrfNoQuoteText = "이체 확인 내역이 없거나 유효시간이 지났습니다. 처음부터 다시 하십시오.";
inline constexpr const char* kTrfDone = "TRF11";
inline constexpr const char* kTrfDoneText = "이미 처리된 이체입니다.";
inline constexpr const char* kTrfAltered = "TRF12";
inline constexpr const char* kTrfAlteredText = "이체 확인 내용과 실행 내용이 다릅니다. 처음부터 다시 하십시오.";
inline constexpr const char* kTrfSecurityWay = "TRF13";
inline constexpr const char* kTrfSecurityWayText = "등록된 보안수단과 다릅니다.";
inline constexpr const char* kTrfCard = "TRF14";
inline constexpr const char* kTrfCardText = "보안카드 번호가 일치하지 않습니다.";
inline constexpr const char* kTrfSignature = "TRF15";
inline constexpr const char* kTrfSignatureText = "인증서 서명을 확인할 수 없습니다.";
inline constexpr const char* kTrfNoSchedule = "TRF16";
inline constexpr const char* kTrfNoScheduleText = "해당 예약이체가 없습니다.";
inline constexpr const char* kTrfScheduleDone = "TRF17";
inline constexpr const char* kTrfScheduleDoneText = "이미 처리된 예약이체는 삭제할 수 없습니다.";
inline constexpr const char* kTrfNoResult = "TRF18";
inline constexpr const char* kTrfNoResultText = "해당 이체내역이 없습니다.";

} // namespace bankd::result

namespace bankd::transfers {
// Result codes of a carried-out transfer (results list, scheduled list).
inline constexpr const char* kDone = "0000";
inline constexpr const char* kFailFunds = "1001";    // insufficient funds
inline constexpr const char* kFailAccount = "1002";  // source or deposit account no longer usable
inline constexpr const char* kFailLimit = "1003";    // daily limit reached
} // namespace bankd::transfers
