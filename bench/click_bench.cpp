// Measures the click worker against its own deadlines, at the click target.
//   click_bench.exe ours <file> [clicks]    runs the worker at intervals 0, 1, 10
//                                           and 100 ms at the target's centre
//   click_bench.exe peer <D> <file> [clicks] takes the clicks another program
//                                           sent to the target, D ms apart
//   click_bench.exe reset <file>            makes the target forget its clicks
//   click_bench.exe centre                  prints the target's centre "x y"
//   click_bench.exe close                   closes the target
// <file> is where the target writes its click times. Every figure goes to
// standard output, and once more on a line "RESULT who D count rate median
// p99 max drift" for scripts. Lateness is measured against click k's deadline:
// ours 1000 + (k - 1) * D ms after the worker was started, the peer's
// (k - 1) * D ms after its first click arrived.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "bench/click_target.h"
#include "click/click_worker.h"

namespace {

constexpr UINT kFinished = WM_APP + 9;
constexpr int kIntervals[] = {0, 1, 10, 100};

std::int64_t Now() {
  LARGE_INTEGER counter{};
  QueryPerformanceCounter(&counter);
  return counter.QuadPart;
}

double Frequency() {
  LARGE_INTEGER frequency{};
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(frequency.QuadPart);
}

HWND FindTarget() {
  for (int i = 0; i < 200; ++i) {
    if (HWND window = FindWindowA(kTargetClass, nullptr)) return window;
    Sleep(50);
  }
  return nullptr;
}

LRESULT Ask(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(target, message, wParam, lParam, SMTO_NORMAL, 5000, &result)) return -1;
  return static_cast<LRESULT>(result);
}

// Has the target write its clicks to path and forget them; the times read back.
std::vector<std::int64_t> Dump(HWND target, const std::string& path) {
  COPYDATASTRUCT data{};
  data.dwData = kDumpData;
  data.cbData = static_cast<DWORD>(path.size());
  data.lpData = const_cast<char*>(path.data());
  std::vector<std::int64_t> times;
  if (Ask(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data)) < 0) return times;
  std::ifstream file(path);
  long long value = 0;
  file >> value;  // the frequency: the same counter as ours
  while (file >> value) times.push_back(value);
  return times;
}

// Waits until the target has taken expected clicks, or until no more come
// for two seconds (input still queued is taken first), then dumps.
std::vector<std::int64_t> Collect(HWND target, const std::string& path, LRESULT expected) {
  LRESULT last = -1;
  ULONGLONG lastChange = GetTickCount64();
  const ULONGLONG giveUp = lastChange + 60000;
  for (;;) {
    const LRESULT count = Ask(target, kCountMessage, 0, 0);
    if (count >= expected || count < 0) break;
    const ULONGLONG now = GetTickCount64();
    if (count != last) {
      last = count;
      lastChange = now;
    } else if (now - lastChange > 2000) {
      break;
    }
    if (now > giveUp) break;
    Sleep(20);
  }
  return Dump(target, path);
}

struct Figures {
  std::size_t count = 0;
  double rate = 0, median = 0, p99 = 0, max = 0, drift = 0;
};

Figures Analyse(const std::vector<std::int64_t>& times, std::int64_t anchor, double offsetMs, int interval) {
  Figures f;
  f.count = times.size();
  if (times.empty()) return f;
  const double frequency = Frequency();
  std::vector<double> lateness;
  for (std::size_t k = 0; k < times.size(); ++k) {
    const double at = static_cast<double>(times[k] - anchor) * 1000.0 / frequency;
    lateness.push_back(at - (offsetMs + static_cast<double>(k) * interval));
  }
  f.drift = lateness.back();
  std::vector<double> sorted = lateness;
  std::sort(sorted.begin(), sorted.end());
  f.median = sorted[sorted.size() / 2];
  f.p99 = sorted[std::min(sorted.size() - 1, static_cast<std::size_t>(0.99 * static_cast<double>(sorted.size())))];
  f.max = sorted.back();
  const double span = static_cast<double>(times.back() - times.front()) / frequency;
  f.rate = span > 0 ? static_cast<double>(times.size() - 1) / span : 0;
  return f;
}

void Print(const char* who, int interval, const Figures& f) {
  std::printf("%-5s D=%-4d clicks %4zu  %8.1f clicks/s  lateness ms: median %7.3f  p99 %7.3f  max %7.3f  last %7.3f\n",
              who, interval, f.count, f.rate, f.median, f.p99, f.max, f.drift);
  std::printf("RESULT %s %d %zu %.1f %.3f %.3f %.3f %.3f\n", who, interval, f.count, f.rate, f.median, f.p99,
              f.max, f.drift);
  std::fflush(stdout);
}

std::string FullPath(const char* path) {
  char full[MAX_PATH] = {};
  const DWORD n = GetFullPathNameA(path, MAX_PATH, full, nullptr);
  return n > 0 && n < MAX_PATH ? std::string(full, n) : std::string(path);
}

POINT Centre(HWND target) {
  RECT rect{};
  GetWindowRect(target, &rect);
  return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

int RunOurs(HWND target, const std::string& path, int clicks) {
  const HWND notify = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  if (notify == nullptr) return 1;
  const POINT centre = Centre(target);
  for (int interval : kIntervals) {
    static_cast<void>(Dump(target, path));
    ClickJob job;
    job.intervalText = std::to_string(interval);
    job.countText = std::to_string(clicks);
    job.buttonCode = 0;
    job.xText = std::to_string(centre.x);
    job.yText = std::to_string(centre.y);
    const std::int64_t start = Now();
    std::unique_ptr<ClickWorker> worker = ClickWorker::Start(job, notify, kFinished);
    if (!worker) return 1;
    // Bounded: the run's own length and ten seconds more.
    SetTimer(notify, 1, 11000 + static_cast<UINT>(clicks) * static_cast<UINT>(interval), nullptr);
    MSG message;
    bool finished = false;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
      if (message.message == kFinished && message.wParam == worker->serial()) {
        finished = true;
        break;
      }
      if (message.message == WM_TIMER) break;
      DispatchMessageA(&message);
    }
    KillTimer(notify, 1);
    worker.reset();
    if (!finished) std::printf("ours  D=%d: the run did not finish in time\n", interval);
    Print("ours", interval, Analyse(Collect(target, path, clicks), start, 1000.0, interval));
  }
  DestroyWindow(notify);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: click_bench ours|peer|reset|centre|close ...\n");
    return 2;
  }
  const std::string mode = argv[1];
  const HWND target = FindTarget();
  if (target == nullptr) {
    std::fprintf(stderr, "click_bench: no click target window\n");
    return 1;
  }
  if (mode == "centre") {
    const POINT centre = Centre(target);
    std::printf("%ld %ld\n", static_cast<long>(centre.x), static_cast<long>(centre.y));
    return 0;
  }
  if (mode == "close") {
    PostMessageA(target, WM_CLOSE, 0, 0);
    return 0;
  }
  if (mode == "reset" && argc >= 3) {
    static_cast<void>(Dump(target, FullPath(argv[2])));
    return 0;
  }
  if (mode == "ours" && argc >= 3) {
    return RunOurs(target, FullPath(argv[2]), argc >= 4 ? std::atoi(argv[3]) : 200);
  }
  if (mode == "peer" && argc >= 4) {
    const int interval = std::atoi(argv[2]);
    const std::vector<std::int64_t> times = Collect(target, FullPath(argv[3]), argc >= 5 ? std::atoi(argv[4]) : 200);
    Print("peer", interval, Analyse(times, times.empty() ? 0 : times.front(), 0.0, interval));
    return 0;
  }
  std::fprintf(stderr, "click_bench: bad arguments\n");
  return 2;
}
