#pragma once
// The process-wide registry of running downloads. Each download runs on a
// task thread of its own, which owns its FileDownloader, waits for its end and
// then removes its record; a task id other than 0 can run only once at a time.

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "common/text.h"
#include "update/file_downloader.h"

// The registry lives from start-up, before any download, to the end routine.
void CreateDownloadTaskRegistry() noexcept;
void FreeDownloadTaskRegistry() noexcept;

inline constexpr int kTaskStarted = 1;
inline constexpr int kTaskIdRunning = -1;
inline constexpr int kTaskNotStarted = 0;  // no registry or no thread

// Starts a task that downloads url to targetPath and reports to callback.
// A download that the downloader refuses (an empty or non-http(s) address, an
// empty target) is reported to callback as Failed and an unsuccessful
// Finished, like any other failure, and its task ends at once.
[[nodiscard]] int StartDownloadTask(const Text& url, const Text& targetPath, DownloadCallback callback,
                                    std::int32_t taskId = 0) noexcept;

// The tasks in the registry now.
[[nodiscard]] std::size_t DownloadTaskCount() noexcept;
