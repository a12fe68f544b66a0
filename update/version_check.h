#pragma once
// The two checks against the version manifest: is there another version, and
// is this one still supported. Each check fetches and parses the manifest
// anew, on the calling thread, and shows its messages task-modal with owner
// as their owner window.

#include <windows.h>

#include "common/text.h"
#include "update/version_manifest.h"

// This product's entry in the manifest.
inline constexpr const char* ProductKey = "Click";

// Compares the manifest's version with localVersion, byte for byte. Another
// version is offered with OK and Cancel, and OK starts its download; the same
// version is reported unless silent. A manifest that could not be fetched or
// read offers nothing: the silent check then stays quiet, the other one says
// so. A body that is no JSON is reported in both.
void CheckForUpdate(const Text& productKey, const Text& localVersion, HWND owner, bool silent,
                    const Text& manifestAddress = VersionManifestAddress()) noexcept;

// Ends the program in order (exit code 0) after telling the user, unless the
// manifest's support flag reads exactly "true"; no answer ends it too.
void CheckSupported(const Text& productKey, HWND owner,
                    const Text& manifestAddress = VersionManifestAddress()) noexcept;
