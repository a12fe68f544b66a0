#pragma once
// Threads started the one way the program starts them.

#include <windows.h>

#include "common/handles.h"

namespace runtime {

// CreateThread with default security and stack, running at once; the thread
// id is not kept. An empty handle when the thread cannot be created.
using ThreadRoutine = DWORD(WINAPI*)(void* parameter);
[[nodiscard]] UniqueHandle StartThread(ThreadRoutine routine, void* parameter) noexcept;

}  // namespace runtime
