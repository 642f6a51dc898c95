#pragma once
// Korean last-error texts of the engine.
namespace velcor::text {
inline constexpr const char* kNoGateAddress = "게이트 주소가 없습니다";
inline constexpr const char* kBadEnginePath = "엔진 경로가 올바르지 않습니다";
inline constexpr const char* kNoGatewayKey = "게이트웨이 공개키가 설정되지 않았습니다";
inline constexpr const char* kBadGatewayKey = "게이트웨이 공개키가 올바르지 않습니다";
inline constexpr const char* kNoSession = "보안 세션이 없습니다";
inline constexpr const char* kNoServerHost = "서버 주소가 설정되지 않았습니다";
inline constexpr const char* kGatewayUnreachable = "게이트웨이에 연결할 수 없습니다";
inline constexpr const char* kEndRefused = "세션 종료 응답이 올바르지 않습니다";
inline constexpr const char* kNoCertificate = "등록된 인증서가 없습니다";
inline constexpr const char* kSignCancelled = "인증서 서명이 취소되었습니다";
inline constexpr const char* kWrongPassword = "인증서 비밀번호가 올바르지 않습니다";
inline constexpr const char* kNoDialog = "인증서 선택 창을 열 수 없습니다";
inline constexpr const char* kClockSet = "서버 시각에 맞추었습니다. 요청을 다시 보내십시오";
inline constexpr const char* kBadClockNotice = "서버 시각 통지가 올바르지 않습니다";
inline constexpr const char* kInternal = "암호 모듈 내부 오류입니다";
} // namespace velcor::text
