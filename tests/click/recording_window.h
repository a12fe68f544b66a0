#pragma once
// A topmost window of the test's own thread that records the mouse-button
// messages it receives (with the screen point) and any WM_APP message.

#include <windows.h>

#include <vector>

struct RecordedMessage {
  UINT message;
  WPARAM wParam;
  POINT screenPoint;  // for button messages
};

class RecordingWindow {
 public:
  // Screen rectangle of the window (no frame: client and window coincide).
  RecordingWindow(int x, int y, int width, int height);
  ~RecordingWindow();
  RecordingWindow(const RecordingWindow&) = delete;
  RecordingWindow& operator=(const RecordingWindow&) = delete;

  [[nodiscard]] HWND handle() const { return window_; }
  [[nodiscard]] const std::vector<RecordedMessage>& messages() const { return messages_; }
  [[nodiscard]] std::vector<UINT> ButtonMessages() const;
  [[nodiscard]] std::vector<RecordedMessage> Of(UINT message) const;
  void Clear() { messages_.clear(); }

  // Pumps this thread's messages until predicate() holds; false on time-out.
  template <typename Predicate>
  bool PumpUntil(DWORD timeoutMs, Predicate predicate) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
      Pump();
      if (predicate()) return true;
      const ULONGLONG now = GetTickCount64();
      if (now >= deadline) return false;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
    }
  }
  // Pumps for a while so that late or extra messages show up.
  void Settle(DWORD ms) {
    PumpUntil(ms, [] { return false; });
  }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  static void Pump();

  HWND window_ = nullptr;
  std::vector<RecordedMessage> messages_;
};
