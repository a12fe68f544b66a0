// Stands in for the program in the update tests: runs the start-up update
// check against the manifest address of its command line, holds the download
// task registry and ends in order (registry freed, exit code 0) when the
// update asks it to, as the program does.
#include <windows.h>

#include "common/orderly_end.h"
#include "update/download_tasks.h"
#include "update/version_check.h"

namespace {

void EndInOrder(UINT exitCode) noexcept {
  FreeDownloadTaskRegistry();
  ExitProcess(exitCode);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  CreateDownloadTaskRegistry();
  runtime::SetOrderlyEnd(EndInOrder);
  CheckForUpdate(ProductKey, "1.0", nullptr, true, Text(commandLine));
  for (;;) Sleep(INFINITE);  // runs on like the program until ended
}
