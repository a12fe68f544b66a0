#pragma once
// The version service of the test run: a CTest fixture (tests/tools/
// version_service.py) serves a folder of the build tree on the port that the
// program under test was built for. Tests change what it serves for their own
// duration, and read what was asked of it from its request log.

#include <windows.h>

#include <optional>
#include <vector>

#include "common/text.h"

namespace version_service {

// Where the program asks for its manifest.
inline constexpr const char* kManifestPath = "/Soft/VER/SVERS.json";

// "http://127.0.0.1:PORT" followed by path.
[[nodiscard]] Text Url(const Text& path);

// The Windows path of the file that the service serves at path.
[[nodiscard]] Text ServedPath(const Text& path);

// Serves the repository's own manifest again and answers again: what every
// test may expect when it starts, whatever an earlier test left.
void RestoreDefaults();

// One request as the service logged it: the request line, then the header
// lines in the order they came, without their CR LF.
struct LoggedRequest {
  Text requestLine;
  std::vector<Text> headers;
};

// The requests logged from the moment of construction on.
class RequestLog {
 public:
  RequestLog();
  // Those for path only (other tests may ask for other files meanwhile).
  [[nodiscard]] std::vector<LoggedRequest> RequestsFor(const Text& path) const;
  // Waits until at least count requests for path have been logged.
  [[nodiscard]] bool WaitFor(const Text& path, std::size_t count, DWORD timeoutMs) const;

 private:
  std::size_t start_ = 0;
};

}  // namespace version_service

// Serves contents at path for the life of the object; whatever was served
// there before comes back afterwards, however the test ends.
class ServedFile {
 public:
  ServedFile(const Text& path, const Text& contents);
  ~ServedFile();
  ServedFile(const ServedFile&) = delete;
  ServedFile& operator=(const ServedFile&) = delete;

  [[nodiscard]] bool written() const noexcept { return written_; }
  // Serves other contents from now on.
  [[nodiscard]] bool Replace(const Text& contents);

 private:
  Text file_;
  std::optional<Text> before_;
  bool written_ = false;
};

// While the object lives, the service answers requests for path by closing
// the connection without a word: to the program, no service at all.
class SilentService {
 public:
  explicit SilentService(const Text& path);
  ~SilentService();
  SilentService(const SilentService&) = delete;
  SilentService& operator=(const SilentService&) = delete;

 private:
  Text flag_;
};
