#pragma once
// One running instance per logon session. A named event marks the running
// instance; a later start brings that instance's window to the front and
// ends itself.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "common/text.h"

// The text whose MD5 names the event when the caller passes an empty name.
inline constexpr const char* kDefaultInstanceNameSource = "ibfiy，xwpj，bm";

// The text shown when showMessage is set and no message is given.
inline constexpr const char* kAlreadyRunningMessage = "对不起,该进程已打开!";
inline constexpr const char* kAlreadyRunningCaption = "友情提醒:";

// Returns only in the first instance, which then holds the event `name` for
// the rest of its life. An empty name is replaced, in the caller's variable
// too, by the lower-case MD5 hex digest of kDefaultInstanceNameSource.
// In a later instance, in this order: calls onAlreadyRunning when it is
// callable; when showMessage is set, shows *message (given, even empty) or,
// with message null, kAlreadyRunningMessage, and waits for the box; when
// activateExisting is set, finds the running instance's window, restores it
// from minimised and activates it; then ends the program in order with exit
// code 0 (runtime::RequestOrderlyEnd, through the end the program installed).
void InstanceGuard(Text& name, bool showMessage = false, Text* message = nullptr, UINT messageStyle = 0,
                   bool activateExisting = false, FARPROC onAlreadyRunning = nullptr) noexcept;

// Shows the window in its place and size without activating it, as topmost
// or not topmost.
void SetWindowTopmost(HWND window, bool topmost) noexcept;

// Activates a window of another thread by sharing that thread's input state
// for the moment of the call. Results are not examined.
void ActivateWindowAttached(HWND window) noexcept;

// The largest number of arguments CallRoutineByAddress passes.
inline constexpr std::size_t kMaxRoutineArguments = 15;

// Calls the routine at address with exactly these 32-bit arguments, in order,
// and returns its 32-bit result. The routine must use the Win32 calling
// convention (WINAPI / CALLBACK) and take exactly that many arguments. An
// address that IsBadCodePtr rejects, or more than kMaxRoutineArguments
// arguments, gives 0 and calls nothing.
std::int32_t CallRoutineByAddress(FARPROC address, std::initializer_list<std::int32_t> arguments = {}) noexcept;
