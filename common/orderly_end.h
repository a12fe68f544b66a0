#pragma once
// How any part of the program asks for an orderly end. The application
// installs the way it ends (its end routine, run on its window thread) once at
// start-up; subsystems below it only ask.

#include <windows.h>

namespace runtime {

// Ends the program with the exit code; never returns.
using OrderlyEnd = void (*)(UINT exitCode) noexcept;

// Installs how the program ends (null: none); call it before any other thread
// runs.
void SetOrderlyEnd(OrderlyEnd end) noexcept;

// Ends the program in order with exitCode through the installed end, from any
// thread; with none installed, the process simply exits. Never returns.
[[noreturn]] void RequestOrderlyEnd(UINT exitCode = 0) noexcept;

}  // namespace runtime
