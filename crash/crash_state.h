#pragma once
#include <cstdint>

inline constexpr uint32_t OriginConfigWindow = 1;
inline constexpr uint32_t OriginUnhandled = 0x100;

void InitCrashState();
