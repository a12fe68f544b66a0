#include "update/update_download.h"

#include <cstdint>

#include "common/exe_files.h"
#include "common/message_box.h"
#include "common/orderly_end.h"
#include "update/critical_section_lock.h"
#include "update/download_tasks.h"
#include "update/replacement_script.h"
#include "update/update_signature.h"

namespace {

constexpr const char* kCaption = "版本检测";
constexpr const char* kRunningMessage = "正在后台下载更新,请勿关闭程序";
constexpr const char* kFailedMessage = "更新下载失败,请稍后重试";
constexpr const char* kFinishedPrompt = "下载已经完成,按确认删除自身(新版本文件已放在目录下)";

// The one update download of the process.
constexpr std::int32_t kUpdateTaskId = 1;

// The running update: set by StartUpdateDownload, read by the callback.
CriticalSectionLock g_updateLock;
bool g_updateRunning = false;
Text g_signature;
HWND g_owner = nullptr;

int Show(const Text& text, UINT buttons = MB_OK) noexcept {
  HWND owner;
  {
    LockHolder held(g_updateLock);
    owner = g_owner;
  }
  return runtime::ShowMessage(text, buttons, kCaption, owner);
}

bool IsWebAddress(const Text& address) {
  Text lower = address;
  for (char& c : lower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return lower.starts_with("http://") || lower.starts_with("https://");
}

void EndUpdate() noexcept {
  LockHolder held(g_updateLock);
  g_updateRunning = false;
  g_signature.clear();
}

// A download that cannot be installed leaves no file behind.
void FailUpdate(const Text& targetPath) noexcept {
  ::DeleteFileA(targetPath.c_str());
  EndUpdate();
  Show(kFailedMessage);
}

}  // namespace

void StartUpdateDownload(const Text& address, const Text& signature, HWND owner) noexcept {
  bool alreadyRunning;
  {
    LockHolder held(g_updateLock);
    g_owner = owner;
    alreadyRunning = g_updateRunning;
    if (!alreadyRunning && IsWebAddress(address)) {
      g_updateRunning = true;
      g_signature = signature;
    }
  }
  if (alreadyRunning) {  // the download accepted earlier goes on
    Show(kRunningMessage);
    return;
  }
  const Text target = runtime::ExeDirectory() + "\\" + kUpdateFileName;
  if (!IsWebAddress(address)) {
    FailUpdate(target);  // nothing to download; a file of an earlier attempt goes too
    return;
  }
  const int started = StartDownloadTask(address, target, OnUpdateDownloadEvent, kUpdateTaskId);
  if (started != kTaskStarted) EndUpdate();
  // An earlier download that is just ending still holds its task id: it goes on.
  Show(started == kTaskNotStarted ? kFailedMessage : kRunningMessage);
}

void OnUpdateDownloadEvent(const DownloadEventRecord& record) noexcept {
  if (record.kind != DownloadEventKind::Finished) return;
  const Text target(record.targetPath);
  Text signature;
  {
    LockHolder held(g_updateLock);
    signature = g_signature;
  }
  if (!record.succeeded || !VerifyFileSignature(target, signature)) {
    FailUpdate(target);
    return;
  }
  if (Show(kFinishedPrompt, MB_OKCANCEL) != runtime::kButtonOk) {
    EndUpdate();  // the verified file stays for the user
    return;
  }
  if (!StartReplacementScript(runtime::ExeDirectory(), runtime::ExeFileName())) {
    EndUpdate();
    Show(kFailedMessage);
    return;
  }
  runtime::RequestOrderlyEnd(0);
}
