// A click target for the benchmark: a topmost window that takes the time of
// every WM_LBUTTONDOWN with QueryPerformanceCounter.
//   click_target.exe [file]   the times go to file when the window closes
// Other programs ask it by message:
//   kCountMessage             returns the number of clicks taken so far
//   WM_COPYDATA (kDumpData)   writes the clicks so far to the path in the data
//                             and forgets them; returns how many were written
// A file holds the counter frequency on its first line, then one count per click.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/click_target.h"

namespace {

std::vector<std::int64_t> g_clicks;
std::string g_closeFile;

std::int64_t Now() {
  LARGE_INTEGER counter{};
  QueryPerformanceCounter(&counter);
  return counter.QuadPart;
}

bool WriteClicks(const std::string& path) {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  std::string text = std::to_string(frequency.QuadPart) + "\n";
  for (std::int64_t t : g_clicks) text += std::to_string(t) + "\n";
  // Written beside and then moved, so a reader never sees half a file.
  const std::string temporary = path + ".part";
  HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                  written == text.size();
  CloseHandle(file);
  return ok && MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  switch (message) {
    case WM_LBUTTONDOWN:
      try {
        g_clicks.push_back(Now());
      } catch (...) {
      }
      return 0;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case kCountMessage:
      return static_cast<LRESULT>(g_clicks.size());
    case WM_COPYDATA: {
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (data == nullptr || data->dwData != kDumpData || data->lpData == nullptr) return -1;
      try {
        const std::string path(static_cast<const char*>(data->lpData), data->cbData);
        const LRESULT count = static_cast<LRESULT>(g_clicks.size());
        if (!WriteClicks(path.c_str())) return -1;
        g_clicks.clear();
        return count;
      } catch (...) {
        return -1;
      }
    }
    case WM_CLOSE:
      if (!g_closeFile.empty()) static_cast<void>(WriteClicks(g_closeFile));
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) g_closeFile = argv[1];
  g_clicks.reserve(1 << 16);
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = &TargetProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = kTargetClass;
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  if (!RegisterClassA(&windowClass)) return 1;
  // Not activated: without a window manager Wine then keeps it unmanaged, so
  // its X window sits exactly at the Windows coordinates.
  HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kTargetClass,
                                "click target", WS_POPUP, kTargetLeft, kTargetTop, kTargetWidth,
                                kTargetHeight, nullptr, nullptr, windowClass.hInstance, nullptr);
  if (window == nullptr) return 1;
  SetWindowPos(window, HWND_TOPMOST, kTargetLeft, kTargetTop, kTargetWidth, kTargetHeight,
               SWP_SHOWWINDOW | SWP_NOACTIVATE);
  SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
