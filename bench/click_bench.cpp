// Measures the real program's clicks beside a peer's, at a click target that
// runs in a process of its own.
//   click_bench.exe ours <D> <file> <clicks>   sets up the running 飞梭助手.exe
//                                              (interval D, the count, the
//                                              target's centre), presses its
//                                              start button from outside and
//                                              takes the clicks the target got
//   click_bench.exe peer <D> <file> <clicks>   takes the clicks another program
//                                              (xdotool) sent to the target
//   click_bench.exe reset <file>               makes the target forget its clicks
//   click_bench.exe centre                     prints the target's centre "x y"
//                                              and puts the pointer there
//   click_bench.exe close                      closes the target and the program
// <file> is where the target writes its click times. Figures go to standard
// output, and once more on a line "RESULT who D count p99 mingap drift first"
// for scripts: the p99 of |gap - D|, the smallest gap, the last click against
// first + (n - 1) * D, and (ours only) the first click against press + 1000
// ms; all in ms.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/click_target.h"
#include "ui/widgets.h"

namespace {

// The program waits this long after the press before its first click.
constexpr double kFirstClickDelayMs = 1000;

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

HWND WaitForWindowOfClass(const char* className) {
  for (int i = 0; i < 400; ++i) {
    if (HWND window = FindWindowA(className, nullptr)) return window;
    Sleep(50);
  }
  return nullptr;
}

LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 5000, &result)) return -1;
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
std::vector<std::int64_t> Collect(HWND target, const std::string& path, LRESULT expected, DWORD limitMs) {
  LRESULT last = -1;
  ULONGLONG lastChange = GetTickCount64();
  const ULONGLONG giveUp = lastChange + limitMs;
  for (;;) {
    const LRESULT count = Ask(target, kCountMessage, 0, 0);
    if (count >= expected || count < 0) break;
    const ULONGLONG now = GetTickCount64();
    if (count != last) {
      last = count;
      lastChange = now;
    } else if (count > 0 && now - lastChange > 2000) {
      break;
    }
    if (now > giveUp) break;
    Sleep(20);
  }
  return Dump(target, path);
}

struct Figures {
  std::size_t count = 0;
  double median = NAN, p99 = NAN, minGap = NAN, drift = NAN, first = NAN;
};

// pressTicks: when the program's button was pressed, or 0 when unknown.
Figures Analyse(const std::vector<std::int64_t>& times, int interval, std::int64_t pressTicks) {
  Figures f;
  f.count = times.size();
  if (times.empty()) return f;
  const double frequency = Frequency();
  auto ms = [&](std::int64_t from, std::int64_t to) { return static_cast<double>(to - from) * 1000.0 / frequency; };
  if (pressTicks != 0) f.first = ms(pressTicks, times.front()) - kFirstClickDelayMs;
  if (times.size() < 2) return f;
  std::vector<double> deviations;
  f.minGap = INFINITY;
  for (std::size_t k = 1; k < times.size(); ++k) {
    const double gap = ms(times[k - 1], times[k]);
    f.minGap = std::min(f.minGap, gap);
    deviations.push_back(std::fabs(gap - interval));
  }
  std::sort(deviations.begin(), deviations.end());
  f.median = deviations[deviations.size() / 2];
  f.p99 = deviations[std::min(deviations.size() - 1,
                              static_cast<std::size_t>(std::ceil(0.99 * static_cast<double>(deviations.size()))) - 1)];
  f.drift = ms(times.front(), times.back()) - static_cast<double>(times.size() - 1) * interval;
  return f;
}

void Print(const char* who, int interval, const Figures& f) {
  std::printf("%-5s D=%-4d clicks %4zu  |gap-D| median %7.3f p99 %7.3f  smallest gap %8.3f  drift %8.3f  "
              "first vs press+1000 %8.3f\n",
              who, interval, f.count, f.median, f.p99, f.minGap, f.drift, f.first);
  std::printf("RESULT %s %d %zu %.3f %.3f %.3f %.3f\n", who, interval, f.count, f.p99, f.minGap, f.drift, f.first);
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

std::string TextOf(HWND control) {
  char text[64] = {};
  Ask(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

// One run of the real program, set up and started through its controls as
// another program (or an accessibility tool) would.
int RunOurs(HWND target, int interval, const std::string& path, int clicks) {
  const HWND frame = WaitForWindowOfClass(ui::kFrameClass);
  if (!frame) {
    std::fprintf(stderr, "click_bench: the program's window did not appear\n");
    return 1;
  }
  // The start-up load fills the empty X field; texts set before it would be
  // replaced.
  HWND xEdit = ui::FindByFormName(frame, "编辑框_X");
  for (int i = 0; i < 400 && xEdit && TextOf(xEdit).empty(); ++i) Sleep(50);
  const POINT centre = Centre(target);
  const struct {
    const char* formName;
    std::string text;
  } settings[] = {{"编辑框_点击间隔", std::to_string(interval)},
                  {"编辑框_设置点击次数", std::to_string(clicks)},
                  {"编辑框_X", std::to_string(centre.x)},
                  {"编辑框_Y", std::to_string(centre.y)}};
  for (const auto& setting : settings) {
    HWND edit = ui::FindByFormName(frame, setting.formName);
    if (!edit || Ask(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(setting.text.c_str())) < 0) return 1;
  }
  HWND toggle = ui::FindByFormName(frame, "按钮_开关连点");
  if (!toggle) return 1;
  static_cast<void>(Dump(target, path));
  SetCursorPos(centre.x, centre.y);  // as the peer starts: the pointer already on the target
  Sleep(200);
  const std::int64_t press = Now();
  if (Ask(toggle, BM_CLICK, 0, 0) < 0) return 1;
  const DWORD runMs = static_cast<DWORD>(kFirstClickDelayMs) + static_cast<DWORD>(clicks) * static_cast<DWORD>(interval);
  Print("ours", interval, Analyse(Collect(target, path, clicks, runMs + 20000), interval, press));
  // The program shows its idle look again an interval after the last click.
  for (int i = 0; i < 200 && TextOf(toggle) != "开始连点"; ++i) Sleep(50);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: click_bench ours|peer|reset|centre|close ...\n");
    return 2;
  }
  const std::string mode = argv[1];
  const HWND target = WaitForWindowOfClass(kTargetClass);
  if (target == nullptr) {
    std::fprintf(stderr, "click_bench: no click target window\n");
    return 1;
  }
  if (mode == "centre") {
    const POINT centre = Centre(target);
    SetCursorPos(centre.x, centre.y);
    std::printf("%ld %ld\n", static_cast<long>(centre.x), static_cast<long>(centre.y));
    return 0;
  }
  if (mode == "close") {
    if (HWND frame = FindWindowA(ui::kFrameClass, nullptr)) PostMessageA(frame, WM_CLOSE, 0, 0);
    PostMessageA(target, WM_CLOSE, 0, 0);
    return 0;
  }
  if (mode == "reset" && argc >= 3) {
    static_cast<void>(Dump(target, FullPath(argv[2])));
    return 0;
  }
  if ((mode == "ours" || mode == "peer") && argc >= 5) {
    const int interval = std::atoi(argv[2]);
    const std::string path = FullPath(argv[3]);
    const int clicks = std::atoi(argv[4]);
    if (mode == "ours") return RunOurs(target, interval, path, clicks);
    Print("peer", interval, Analyse(Collect(target, path, clicks, 20000), interval, 0));
    return 0;
  }
  std::fprintf(stderr, "click_bench: bad arguments\n");
  return 2;
}
