#pragma once
// The version manifest that the version service publishes: a UTF-8 JSON
// document whose member per product (such as "Click") holds "version",
// "update" (release notes), "download" and "Support".

#include "common/text.h"
#include "script/json_document.h"

// "http://" + the service host fixed when the program was built + the
// manifest's path.
[[nodiscard]] Text VersionManifestAddress();

// One reading of the manifest, fetched and parsed anew. It belongs to the
// thread that made it (the document's script engine lives there).
class VersionManifest {
 public:
  // Fetches the manifest with a plain GET and parses it.
  explicit VersionManifest(const Text& address);
  VersionManifest(const VersionManifest&) = delete;
  VersionManifest& operator=(const VersionManifest&) = delete;

  // The service answered with a non-empty body.
  [[nodiscard]] bool answered() const noexcept { return answered_; }
  // The body was a document (JSON, and not a bare null).
  [[nodiscard]] bool parsed() const noexcept { return parsed_; }
  // What the parser reported about a body that is no document; empty when it
  // parsed, and when nothing was answered.
  [[nodiscard]] const Text& errorText() const noexcept { return error_.text; }

  // productKey.member in its plain text form: a string as it stands, the
  // number 1.0 as "1", the boolean true as "true"; empty when missing.
  [[nodiscard]] Text Read(const Text& productKey, const char* member);

 private:
  JsonDocument document_;  // made before the request, as every reading does
  ScriptErrorRecord error_;
  bool answered_ = false;
  bool parsed_ = false;
};
