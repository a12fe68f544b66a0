#include "common/orderly_end.h"

namespace runtime {
namespace {

// Set at start-up, before any other thread runs, and only read afterwards.
OrderlyEnd g_orderlyEnd = nullptr;

}  // namespace

void SetOrderlyEnd(OrderlyEnd end) noexcept { g_orderlyEnd = end; }

void RequestOrderlyEnd(UINT exitCode) noexcept {
  if (g_orderlyEnd) g_orderlyEnd(exitCode);
  // An end that came back, or none installed.
  ExitProcess(exitCode);
}

}  // namespace runtime
