#include "update/version_check.h"

#include "common/message_box.h"
#include "common/orderly_end.h"
#include "update/update_download.h"

namespace {

constexpr const char* kCaption = "版本检测";

// Every box of the checks: task-modal, owned by the main window.
int Show(HWND owner, const Text& text, UINT buttons = MB_OK, const Text& caption = kCaption) noexcept {
  return runtime::ShowMessage(text, buttons, caption, owner);
}

}  // namespace

void CheckForUpdate(const Text& productKey, const Text& localVersion, HWND owner, bool silent,
                    const Text& manifestAddress) noexcept {
  VersionManifest manifest(manifestAddress);
  const Text remote = manifest.Read(productKey, "version");
  const Text readError = "JSON获取错误，当前版本：" + localVersion;
  // Nothing to compare with: offering an update to an empty version would
  // hand an empty address to the download.
  if (!manifest.parsed() || remote.empty()) {
    if (!silent || !manifest.errorText().empty()) Show(owner, readError);
    return;
  }
  if (remote == localVersion) {
    if (!silent) Show(owner, "当前使用的版本已经是最新版本(" + localVersion + ")");
  } else {
    const Text notes = manifest.Read(productKey, "update");
    const Text prompt = "新的程序版本" + remote + "已经发布:\r\n更新内容:" + notes + "\r\n是否更新？";
    if (Show(owner, prompt, MB_OKCANCEL) == runtime::kButtonOk) {
      StartUpdateDownload(manifest.Read(productKey, "download"), manifest.Read(productKey, "signature"), owner);
    }
  }
  if (!manifest.errorText().empty()) Show(owner, readError);
}

void CheckSupported(const Text& productKey, HWND owner, const Text& manifestAddress) noexcept {
  VersionManifest manifest(manifestAddress);
  if (manifest.Read(productKey, "Support") != "true") {
    Show(owner, "程序停止支持或维护中,即将退出程序", MB_OK, runtime::kDefaultCaption);
    runtime::RequestOrderlyEnd(0);
  }
  if (!manifest.errorText().empty()) Show(owner, "JSON获取错误");
}
