// What a row shows when its source cannot give a value.
#pragma once

namespace orva {

inline constexpr const wchar_t* kOsFailureText = L"운영체제 정보 로딩 실패";
inline constexpr const wchar_t* kProcessorFailureText = L"CPU 정보 로딩 실패";
inline constexpr const wchar_t* kMemoryFailureText = L"메모리 정보 로딩 실패";
inline constexpr const wchar_t* kBoardFailureText = L"메인보드 정보 로딩 실패";
inline constexpr const wchar_t* kVideoFailureText = L"그래픽카드 정보 로딩 실패";
inline constexpr const wchar_t* kDisksFailureText = L"디스크 정보 로딩 실패";

}  // namespace orva
