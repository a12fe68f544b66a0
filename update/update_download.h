#pragma once
// Downloading and installing a new version of the program: the download runs
// in the background to Update.file beside the executable; when it has arrived
// whole and carries the publisher's signature, the user is offered to replace
// the program, which then ends so that Up.bat can swap the files.

#include <windows.h>

#include "common/text.h"
#include "update/file_downloader.h"

// The user accepted the update found at address, signed with signature (the
// manifest's 128 hex digits). Tells the user, in a box owned by owner, that
// the download runs, or that it cannot; returns when the box is closed. Only
// one update downloads at a time.
void StartUpdateDownload(const Text& address, const Text& signature, HWND owner = nullptr) noexcept;

// The update download's callback: on Finished, checks the file and offers
// the replacement, or tells the user that the download failed.
void OnUpdateDownloadEvent(const DownloadEventRecord& record) noexcept;
