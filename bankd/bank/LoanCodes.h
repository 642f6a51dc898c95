#pragma once
// Result codes and texts of the loan transactions (envelope "msg").
namespace bankd::result {

inline constexpr const char* kLoanAccount = "LON01";
inline constexpr const char* kLoanAccountText = "조회할 수 없는 대출계좌입니다. 대출계좌를 확인하십시오.";
inline constexpr const char* kLoanDate = "LON02";
inline constexpr const char* kLoanDateText = "납입일을 확인하십시오. 오늘부터 다음이자납입일까지 지정할 수 있습니다.";
inline constexpr const char* kLoanPaid = "LON03";
inline constexpr const char* kLoanPaidText = "이미 이자를 납입한 기간입니다.";
inline constexpr const char* kLoanNoQuote = "LON04";
inline constexpr const char* kLoanNoQuoteText = "이자 조회 내역이 없거나 유효시간이 지났습니다. 이자를 다시 조회하십시오.";
inline constexpr const char* kLoanDone = "LON05";
inline constexpr const char* kLoanDoneText = "이미 처리된 이자납입입니다. 거래내역을 확인하십시오.";
inline constexpr const char* kLoanChanged = "LON06";
inline constexpr const char* kLoanChangedText = "이자 조회 후 납입할 금액이 바뀌었습니다. 이자를 다시 조회하십시오.";
inline constexpr const char* kLoanCreditLine = "LON07";
inline constexpr const char* kLoanCreditLineText = "한도대출은 이 화면에서 이자를 납입할 수 없습니다.";
inline constexpr const char* kLoanNothingDue = "LON08";
inline constexpr const char* kLoanNothingDueText = "납입할 이자가 없습니다.";

} // namespace bankd::result
