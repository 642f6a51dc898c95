#pragma once
// Korean reasons the gateway half gives for a refusal (internal).
namespace velcor::reason {
inline constexpr const char* kEmpty = "요청이 비어 있습니다";
inline constexpr const char* kTooLong = "요청이 너무 깁니다";
inline constexpr const char* kMalformed = "요청 형식이 올바르지 않습니다";
inline constexpr const char* kNotAuthentic = "요청을 복호화할 수 없습니다";
inline constexpr const char* kReplay = "이미 처리된 요청입니다";
inline constexpr const char* kClock = "요청 시각이 서버 시각과 맞지 않습니다";
inline constexpr const char* kEnded = "종료된 세션입니다";
inline constexpr const char* kTooMany = "세션이 너무 많습니다";
inline constexpr const char* kNoSession = "세션이 없습니다";
inline constexpr const char* kBadSessionKey = "세션 키가 올바르지 않습니다";
inline constexpr const char* kCrypto = "암호 모듈을 시작할 수 없습니다";
inline constexpr const char* kInternal = "게이트웨이 내부 오류입니다";
} // namespace velcor::reason
