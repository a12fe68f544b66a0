#include "instance/instance_guard.h"

#include <array>
#include <utility>

#include "common/exe_files.h"
#include "common/message_box.h"
#include "common/orderly_end.h"
#include "instance/md5.h"
#include "instance/window_lookup.h"

namespace {

template <std::size_t>
using Argument = std::int32_t;

// Calls address as a WINAPI routine of exactly sizeof...(I) arguments.
template <std::size_t... I>
std::int32_t CallWithArguments(FARPROC address, const std::int32_t* arguments) noexcept {
  using Routine = std::int32_t(WINAPI*)(Argument<I>...);
  // Through void(*)(), the one function type that converts to any other
  // without a cast-function-type warning.
  const auto routine = reinterpret_cast<Routine>(reinterpret_cast<void (*)()>(address));
  return routine(arguments[I]...);
}

using Caller = std::int32_t (*)(FARPROC, const std::int32_t*) noexcept;

template <std::size_t... I>
constexpr Caller CallerFor(std::index_sequence<I...>) noexcept {
  return &CallWithArguments<I...>;
}

template <std::size_t... N>
constexpr std::array<Caller, sizeof...(N)> MakeCallers(std::index_sequence<N...>) noexcept {
  return {CallerFor(std::make_index_sequence<N>{})...};
}

// One caller for each argument count from 0 to kMaxRoutineArguments.
constexpr auto kCallers = MakeCallers(std::make_index_sequence<kMaxRoutineArguments + 1>{});

}  // namespace

std::int32_t CallRoutineByAddress(FARPROC address, std::initializer_list<std::int32_t> arguments) noexcept {
  if (arguments.size() > kMaxRoutineArguments) return 0;
  if (::IsBadCodePtr(address)) return 0;
  return kCallers[arguments.size()](address, arguments.begin());
}

void SetWindowTopmost(HWND window, bool topmost) noexcept {
  ::SetWindowPos(window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
}

void ActivateWindowAttached(HWND window) noexcept {
  const DWORD current = ::GetCurrentThreadId();
  const DWORD target = ::GetWindowThreadProcessId(window, nullptr);
  ::AttachThreadInput(target, current, TRUE);
  ::SetActiveWindow(window);
  ::AttachThreadInput(target, current, FALSE);
}

void InstanceGuard(Text& name, bool showMessage, Text* message, UINT messageStyle, bool activateExisting,
                   FARPROC onAlreadyRunning) noexcept {
  if (name.empty()) name = Md5HexDigest(TextBytes(kDefaultInstanceNameSource));

  // The event only marks the running instance. Its handle stays open, never
  // stored, until the process ends; a failure to open for any reason, access
  // denied included, counts as "no instance runs".
  if (!::OpenEventA(EVENT_ALL_ACCESS, FALSE, name.c_str())) {
    ::CreateEventA(nullptr, FALSE, FALSE, name.c_str());
    return;
  }

  if (onAlreadyRunning) (void)CallRoutineByAddress(onAlreadyRunning);
  if (showMessage) {
    const Text text = message ? *message : Text(kAlreadyRunningMessage);
    (void)runtime::ShowMessage(text, messageStyle, kAlreadyRunningCaption);
  }
  if (activateExisting) {
    HWND window = FindWindowOfExecutable(runtime::ExeFileName());
    // With no process (-1) or no window (null) these calls fail harmlessly.
    if (!::IsWindowVisible(window)) SetWindowTopmost(window, false);
    if (::IsIconic(window)) ::OpenIcon(window);
    ActivateWindowAttached(window);
  }
  runtime::RequestOrderlyEnd(0);
}
