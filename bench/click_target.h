#pragma once
// What the benchmark and its click target agree on.
#include <windows.h>

inline constexpr char kTargetClass[] = "FeiSuoClickTarget";
inline constexpr int kTargetLeft = 300;
inline constexpr int kTargetTop = 250;
inline constexpr int kTargetWidth = 400;
inline constexpr int kTargetHeight = 300;
inline constexpr UINT kCountMessage = WM_APP + 1;
inline constexpr ULONG_PTR kDumpData = 0x434C4B53;
