#include "update/download_tasks.h"

#include <atomic>
#include <vector>

#include "common/handles.h"
#include "common/start_thread.h"
#include "update/critical_section_lock.h"

namespace {

struct DownloadTask {
  std::int32_t taskId = 0;
  HANDLE finishedEvent = nullptr;  // the task thread's; it names the record
  Text targetPath;
  HANDLE thread = nullptr;  // closed by the task thread when it removes the record
};

struct DownloadTaskRegistry {
  CriticalSectionLock lock;
  std::vector<DownloadTask> tasks;  // in start order
};

std::atomic<DownloadTaskRegistry*> g_registry{nullptr};

// What a task thread is given; it keeps a copy of its own.
struct TaskArguments {
  Text url;
  Text targetPath;
  DownloadCallback callback = nullptr;
  std::int32_t taskId = 0;
  HANDLE finishedEvent = nullptr;  // owned by the task thread from the handshake on
};
using TaskRoutine = void (*)(const TaskArguments& arguments) noexcept;

// The starter's block: valid until the new thread has signalled copied.
struct Handshake {
  TaskRoutine routine = nullptr;
  const TaskArguments* arguments = nullptr;
  HANDLE copied = nullptr;
};

DWORD WINAPI TaskThreadEntry(void* parameter) noexcept {
  const auto* handshake = static_cast<const Handshake*>(parameter);
  const TaskRoutine routine = handshake->routine;
  const TaskArguments arguments = *handshake->arguments;
  ::SetEvent(handshake->copied);  // the starter's block is gone from here on
  routine(arguments);
  return 0;
}

// Starts routine on a thread of its own and returns once the thread has
// copied its arguments. The caller owns the returned thread handle.
HANDLE StartTaskThread(TaskRoutine routine, const TaskArguments& arguments) noexcept {
  if (!routine) return nullptr;
  UniqueHandle copied(::CreateEventA(nullptr, FALSE, FALSE, nullptr));
  if (!copied) return nullptr;
  Handshake handshake{routine, &arguments, copied.get()};
  UniqueHandle thread = runtime::StartThread(TaskThreadEntry, &handshake);
  if (thread) ::WaitForSingleObject(copied.get(), INFINITE);
  return thread.release();
}

// Takes the task's record out of the registry and returns its thread handle.
HANDLE RemoveTask(HANDLE finishedEvent) noexcept {
  DownloadTaskRegistry* registry = g_registry.load();
  if (!registry) return nullptr;
  LockHolder held(registry->lock);
  for (auto task = registry->tasks.begin(); task != registry->tasks.end(); ++task) {
    if (task->finishedEvent == finishedEvent) {
      const HANDLE thread = task->thread;
      registry->tasks.erase(task);
      return thread;
    }
  }
  return nullptr;
}

void ReportRefused(const TaskArguments& arguments) noexcept {
  if (!arguments.callback) return;
  DownloadEventRecord record;
  record.taskId = arguments.taskId;
  record.targetPath = arguments.targetPath;
  record.kind = DownloadEventKind::Failed;
  arguments.callback(record);
  record.kind = DownloadEventKind::Finished;
  arguments.callback(record);
}

void RunDownloadTask(const TaskArguments& arguments) noexcept {
  {
    FileDownloader downloader;
    // A started transfer always signals finishedEvent at its end; a refused
    // one never does, so it is not waited for.
    if (downloader.Start(arguments.url, arguments.targetPath, arguments.callback, arguments.taskId,
                         arguments.finishedEvent)) {
      ::WaitForSingleObject(arguments.finishedEvent, INFINITE);
    } else {
      ReportRefused(arguments);
    }
    downloader.Stop();
  }
  UniqueHandle thread(RemoveTask(arguments.finishedEvent));
  ::CloseHandle(arguments.finishedEvent);
}

}  // namespace

void CreateDownloadTaskRegistry() noexcept {
  if (!g_registry.load()) g_registry.store(new (std::nothrow) DownloadTaskRegistry);
}

void FreeDownloadTaskRegistry() noexcept {
  DownloadTaskRegistry* registry = g_registry.exchange(nullptr);
  if (!registry) return;
  // A task thread inside the lock finishes its step first. Handles are not
  // closed here: the threads that own them may still be running.
  registry->lock.Enter();
  registry->lock.Leave();
  delete registry;
}

int StartDownloadTask(const Text& url, const Text& targetPath, DownloadCallback callback,
                      std::int32_t taskId) noexcept {
  DownloadTaskRegistry* registry = g_registry.load();
  if (!registry) return kTaskNotStarted;
  LockHolder held(registry->lock);
  if (taskId != 0) {
    for (const DownloadTask& task : registry->tasks) {
      if (task.taskId == taskId) return kTaskIdRunning;
    }
  }
  UniqueHandle finishedEvent(::CreateEventA(nullptr, FALSE, FALSE, nullptr));
  if (!finishedEvent) return kTaskNotStarted;
  // The record goes in first, so that adding it cannot fail once the thread runs.
  registry->tasks.push_back(DownloadTask{taskId, finishedEvent.get(), targetPath, nullptr});
  const HANDLE thread =
      StartTaskThread(RunDownloadTask, TaskArguments{url, targetPath, callback, taskId, finishedEvent.get()});
  if (!thread) {
    registry->tasks.pop_back();
    return kTaskNotStarted;
  }
  registry->tasks.back().thread = thread;
  (void)finishedEvent.release();  // the task thread's now
  return kTaskStarted;
}

std::size_t DownloadTaskCount() noexcept {
  DownloadTaskRegistry* registry = g_registry.load();
  if (!registry) return 0;
  LockHolder held(registry->lock);
  return registry->tasks.size();
}
