#pragma once
// Finding a running program by its executable's file name, and its main
// window by walking the top-level windows. Everything runs on the caller's
// thread; the window walk dispatches the caller's pending messages.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>

#include "common/text.h"

// The window value that means "no process of that name runs": -1, which is
// never a valid window. (0 means the process runs but no window qualified.)
[[nodiscard]] inline HWND NoMatchingProcessWindow() noexcept {
  return reinterpret_cast<HWND>(static_cast<INT_PTR>(-1));
}

// The limit of a window walk when none is given, in milliseconds.
inline constexpr DWORD kDefaultWindowWalkLimitMs = 31536000;

// The first visible top-level window without parent or owner of the first
// other process whose executable file name matches exeName regardless of
// letter case, searched for at most 100 ms. The calling process is skipped,
// so a second instance finds the running one and not itself.
// NoMatchingProcessWindow() when no such process runs, null when it has no
// qualifying window.
[[nodiscard]] HWND FindWindowOfExecutable(const Text& exeName) noexcept;

// Whether two executable file names are equal. The names are read as code
// page 936: double-byte characters are compared whole and only single-byte
// ASCII letters are folded, unless caseSensitive asks for equal bytes.
[[nodiscard]] bool ExeNamesEqual(const Text& a, const Text& b, bool caseSensitive = false) noexcept;

// The id of the first process in the system's snapshot order whose file name
// (without directory) equals exeName, or 0. The process excludeProcessId is
// passed over; 0 passes over none, so the caller itself can be found.
[[nodiscard]] DWORD FindProcessIdByName(const Text& exeName, bool caseSensitive = false,
                                        DWORD excludeProcessId = 0) noexcept;

// The first top-level window in Z order that belongs to processId, has no
// parent or owner, and whose title and class contain the parts that are
// given. visibleOnly skips hidden windows. The walk ends with null after
// timeoutMs (checked before each window, so 0 examines none); an omitted or
// negative timeoutMs means kDefaultWindowWalkLimitMs. Between windows that do
// not qualify, the calling thread's pending messages are dispatched.
[[nodiscard]] HWND FindTopWindowOfProcess(DWORD processId, const std::optional<Text>& titlePart = std::nullopt,
                                          const std::optional<Text>& classPart = std::nullopt,
                                          std::optional<std::int32_t> timeoutMs = std::nullopt,
                                          bool visibleOnly = true) noexcept;

// The window's class name (at most 260 bytes); empty when it cannot be read.
[[nodiscard]] Text GetWindowClassText(HWND window);

// The window's title read as UTF-16 and converted to ProcessCodePage.
[[nodiscard]] Text GetWindowTitleText(HWND window);
