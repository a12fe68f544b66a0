#include "instance/window_lookup.h"

#include <tlhelp32.h>

#include <cstring>

#include "common/handles.h"
#include "common/pending_messages.h"
#include "net/text_encoding.h"

namespace {

// The guard waits at most this long for the running instance's window.
constexpr std::int32_t kGuardWindowWalkMs = 100;

char FoldAsciiLetter(char c) noexcept { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

}  // namespace

bool ExeNamesEqual(const Text& a, const Text& b, bool caseSensitive) noexcept {
  if (a.size() != b.size()) return false;
  if (caseSensitive) return a == b;
  for (std::size_t i = 0; i < a.size();) {
    if (IsLeadByte(a[i]) && i + 1 < a.size()) {
      // A trail byte can look like an ASCII letter; it is never folded.
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      i += 2;
    } else {
      if (FoldAsciiLetter(a[i]) != FoldAsciiLetter(b[i])) return false;
      ++i;
    }
  }
  return true;
}

DWORD FindProcessIdByName(const Text& exeName, bool caseSensitive, DWORD excludeProcessId) noexcept {
  UniqueSnapshot snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return 0;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32First(snapshot.get(), &entry); more; more = ::Process32Next(snapshot.get(), &entry)) {
    if (excludeProcessId != 0 && entry.th32ProcessID == excludeProcessId) continue;
    const Text name(entry.szExeFile, ::strnlen(entry.szExeFile, sizeof entry.szExeFile));
    if (ExeNamesEqual(name, exeName, caseSensitive)) return entry.th32ProcessID;
  }
  return 0;
}

HWND FindWindowOfExecutable(const Text& exeName) noexcept {
  const DWORD processId = FindProcessIdByName(exeName, false, ::GetCurrentProcessId());
  if (processId == 0) return NoMatchingProcessWindow();
  return FindTopWindowOfProcess(processId, std::nullopt, std::nullopt, kGuardWindowWalkMs, true);
}

Text GetWindowClassText(HWND window) {
  char buffer[261] = {};
  ::GetClassNameA(window, buffer, 260);
  return buffer;
}

Text GetWindowTitleText(HWND window) {
  const int length = ::GetWindowTextLengthW(window);
  if (length <= 0) return {};
  Bytes buffer((static_cast<std::size_t>(length) + 1) * 2, 0);
  ::GetWindowTextW(window, reinterpret_cast<wchar_t*>(buffer.data()), length + 1);
  return WideToText(buffer, static_cast<unsigned>(ProcessCodePage));
}

HWND FindTopWindowOfProcess(DWORD processId, const std::optional<Text>& titlePart,
                            const std::optional<Text>& classPart, std::optional<std::int32_t> timeoutMs,
                            bool visibleOnly) noexcept {
  const DWORD start = ::GetTickCount();
  const DWORD limit =
      timeoutMs && *timeoutMs >= 0 ? static_cast<DWORD>(*timeoutMs) : kDefaultWindowWalkLimitMs;
  HWND previous = nullptr;
  for (;;) {
    // Unsigned difference: correct across the tick counter's wrap.
    if (::GetTickCount() - start >= limit) return nullptr;
    HWND window = ::FindWindowExA(nullptr, previous, nullptr, nullptr);
    if (!window) return nullptr;
    previous = window;
    if (visibleOnly && !::IsWindowVisible(window)) continue;

    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    // GetParent also gives the owner of an owned pop-up, which is skipped.
    if (owner == processId && ::GetParent(window) == nullptr) {
      const bool classMatches = !classPart || FindText(GetWindowClassText(window), *classPart) != Text::npos;
      const bool titleMatches = !titlePart || FindText(GetWindowTitleText(window), *titlePart) != Text::npos;
      if (classMatches && titleMatches) return window;
    }
    runtime::ProcessPendingMessages();
  }
}
