#include "common/start_thread.h"

namespace runtime {

UniqueHandle StartThread(ThreadRoutine routine, void* parameter) noexcept {
  DWORD threadId = 0;
  return UniqueHandle(CreateThread(nullptr, 0, routine, parameter, 0, &threadId));
}

}  // namespace runtime
