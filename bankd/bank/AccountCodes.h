#pragma once
// Result codes and texts of account management (withdrawal accounts,
// favourite deposit accounts, hidden accounts) and customer information
// (profile, password, security means).
namespace bankd::result {

inline constexpr const char* kAmgAccount = "AMG01";
inline constexpr const char* kAmgAccountText = "등록할 수 없는 계좌입니다. 계좌번호를 확인하십시오.";
inline constexpr const char* kAmgPassword = "AMG02";
inline constexpr const char* kAmgPasswordText = "계좌 비밀번호가 일치하지 않습니다.";
inline constexpr const char* kAmgAccountLocked = "AMG03";
inline constexpr const char* kAmgAccountLockedText = "비밀번호 연속 오류로 거래가 제한된 계좌입니다. 영업점에 문의하십시오.";
inline constexpr const char* kAmgScheduled = "AMG04";
inline constexpr const char* kAmgScheduledText =
    "예약이체에 사용 중인 출금계좌는 삭제할 수 없습니다. 예약이체를 먼저 취소하십시오.";
inline constexpr const char* kAmgSecurityWay = "AMG05";
inline constexpr const char* kAmgSecurityWayText = "등록된 보안수단과 다릅니다.";
inline constexpr const char* kAmgCard = "AMG06";
inline constexpr const char* kAmgCardText = "보안카드 번호가 일치하지 않습니다.";
inline constexpr const char* kAmgSignature = "AMG07";
inline constexpr const char* kAmgSignatureText = "인증서 서명을 확인할 수 없습니다.";
inline constexpr const char* kAmgNotChecked = "AMG08";
inline constexpr const char* kAmgNotCheckedText = "보안수단 확인 후 이용하십시오. 계좌숨기기 화면을 다시 여십시오.";
inline constexpr const char* kAmgBank = "AMG09";
inline constexpr const char* kAmgBankText = "입금은행을 확인하십시오.";
inline constexpr const char* kAmgHolder = "AMG10";
inline constexpr const char* kAmgHolderText = "예금주를 확인할 수 없는 계좌입니다. 입금은행과 계좌번호를 확인하십시오.";
inline constexpr const char* kAmgDuplicate = "AMG11";
inline constexpr const char* kAmgDuplicateText = "이미 등록된 입금계좌입니다.";
inline constexpr const char* kAmgNoFavourite = "AMG12";
inline constexpr const char* kAmgNoFavouriteText = "해당 입금계좌가 없습니다. 목록을 다시 조회하십시오.";
inline constexpr const char* kAmgTooMany = "AMG13";
inline constexpr const char* kAmgTooManyText = "자주쓰는 입금계좌는 30개까지 등록할 수 있습니다.";
inline constexpr const char* kAmgNickname = "AMG14";
inline constexpr const char* kAmgNicknameText = "입금계좌명을 확인하십시오. (한글 20자 이내)";
inline constexpr const char* kAmgWithdrawal = "AMG15";
inline constexpr const char* kAmgWithdrawalText = "조회에 쓸 출금계좌를 확인하십시오.";

inline constexpr const char* kInfPassword = "INF01";
inline constexpr const char* kInfPasswordText = "현재 비밀번호가 일치하지 않습니다.";
inline constexpr const char* kInfNewPassword = "INF02";
inline constexpr const char* kInfNewPasswordText = "변경후 비밀번호는 영문과 숫자를 섞어 4~8자리로 입력하십시오.";
inline constexpr const char* kInfSamePassword = "INF03";
inline constexpr const char* kInfSamePasswordText = "변경후 비밀번호가 현재 비밀번호와 같습니다.";
inline constexpr const char* kInfNoCard = "INF04";
inline constexpr const char* kInfNoCardText = "발급된 보안카드가 없어 보안카드로 변경할 수 없습니다. 영업점에 문의하십시오.";
inline constexpr const char* kInfNoCertificate = "INF05";
inline constexpr const char* kInfNoCertificateText =
    "등록된 공인인증서가 없어 공인인증서로 변경할 수 없습니다. 인증서를 먼저 발급받으십시오.";
inline constexpr const char* kInfSecurityWay = "INF06";
inline constexpr const char* kInfSecurityWayText = "처리할수 없는 보안수단입니다.";

} // namespace bankd::result
