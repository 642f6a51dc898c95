#pragma once
// Result codes and texts of the card transactions (envelope "msg").
namespace bankd::result {

inline constexpr const char* kCardUnknown = "CRD01";
inline constexpr const char* kCardUnknownText = "조회할 수 없는 카드입니다. 카드번호를 확인하십시오.";
inline constexpr const char* kCardPin = "CRD02";
inline constexpr const char* kCardPinText = "카드 비밀번호가 일치하지 않습니다.";
inline constexpr const char* kCardPinLocked = "CRD03";
inline constexpr const char* kCardPinLockedText = "카드 비밀번호 연속 오류로 거래가 제한된 카드입니다. 영업점에 문의하십시오.";
inline constexpr const char* kCardPeriod = "CRD04";
inline constexpr const char* kCardPeriodText = "조회기간을 확인하십시오. 조회기간은 3개월 이내로 지정하십시오.";
inline constexpr const char* kCardBillingDate = "CRD05";
inline constexpr const char* kCardBillingDateText = "해당 결제일의 청구내역이 없습니다. 결제일을 확인하십시오.";
inline constexpr const char* kCardExpired = "CRD06";
inline constexpr const char* kCardExpiredText = "유효기간이 지난 카드입니다.";
inline constexpr const char* kCardAccident = "CRD07";
inline constexpr const char* kCardAccidentText = "사고 등록된 카드입니다. 영업점에 문의하십시오.";
inline constexpr const char* kCardNoCash = "CRD08";
inline constexpr const char* kCardNoCashText = "현금서비스를 이용할 수 없는 카드입니다.";
inline constexpr const char* kCardAmount = "CRD09";
inline constexpr const char* kCardAmountText = "이체금액을 확인하십시오.";
inline constexpr const char* kCardAdvanceLimit = "CRD10";
inline constexpr const char* kCardAdvanceLimitText = "1회 현금서비스 한도를 초과하였습니다.";
inline constexpr const char* kCardCashLimit = "CRD11";
inline constexpr const char* kCardCashLimitText = "현금서비스 사용가능금액을 초과하였습니다.";
inline constexpr const char* kCardNoCheck = "CRD12";
inline constexpr const char* kCardNoCheckText = "현금서비스 확인 내역이 없거나 유효시간이 지났습니다. 처음부터 다시 하십시오.";
inline constexpr const char* kCardDone = "CRD13";
inline constexpr const char* kCardDoneText = "이미 처리된 현금서비스입니다.";
inline constexpr const char* kCardPageKey = "CRD14";
inline constexpr const char* kCardPageKeyText = "다음 조회 키가 올바르지 않습니다.";

} // namespace bankd::result
