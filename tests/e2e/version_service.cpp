#include "tests/e2e/version_service.h"

#include "common/handles.h"
#include "tests/e2e/program_under_test.h"

namespace version_service {
namespace {

// The build tree's folder that the service serves, and its port.
const Text kFolder = WindowsPathOf(VERSION_SERVICE_FOLDER);
const Text kRepositoryManifest = WindowsPathOf(VERSION_SERVICE_MANIFEST);

Text LogPath() { return kFolder + "\\requests.log"; }

std::optional<Text> ReadWhole(const Text& path) {
  UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr));
  if (!file) return std::nullopt;
  Text contents;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) contents.append(buffer, read);
  return contents;
}

// Whole or not at all: the service never serves half a file.
bool WriteWhole(const Text& path, const Text& contents) {
  const Text temporary = path + ".writing";
  {
    UniqueFile file(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
    DWORD written = 0;
    if (!file || !WriteFile(file.get(), contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr) ||
        written != contents.size()) {
      return false;
    }
  }
  return MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

std::vector<Text> Split(const Text& text, const Text& separator) {
  std::vector<Text> pieces;
  std::size_t at = 0;
  for (std::size_t end; (end = text.find(separator, at)) != Text::npos; at = end + separator.size()) {
    pieces.push_back(text.substr(at, end - at));
  }
  pieces.push_back(text.substr(at));
  return pieces;
}

// Entries are lines ending in CR LF, closed by an empty line; a last entry
// still being written has no empty line yet and is left for later.
std::vector<LoggedRequest> ParseLog(const Text& log) {
  std::vector<Text> entries = Split(log, "\r\n\r\n");
  entries.pop_back();
  std::vector<LoggedRequest> requests;
  for (const Text& entry : entries) {
    std::vector<Text> lines = Split(entry, "\r\n");
    requests.push_back({lines.front(), std::vector<Text>(lines.begin() + 1, lines.end())});
  }
  return requests;
}

}  // namespace

Text Url(const Text& path) { return "http://127.0.0.1:" + IntToText(VERSION_SERVICE_PORT) + path; }

Text ServedPath(const Text& path) {
  Text served = kFolder + path;
  for (char& c : served) {
    if (c == '/') c = '\\';
  }
  return served;
}

void RestoreDefaults() {
  const Text manifest = ServedPath(kManifestPath);
  DeleteFileA((manifest + ".silent").c_str());
  if (const auto contents = ReadWhole(kRepositoryManifest)) (void)WriteWhole(manifest, *contents);
}

RequestLog::RequestLog() : start_(ReadWhole(LogPath()).value_or("").size()) {}

std::vector<LoggedRequest> RequestLog::RequestsFor(const Text& path) const {
  const Text log = ReadWhole(LogPath()).value_or("");
  std::vector<LoggedRequest> picked;
  for (LoggedRequest& request : ParseLog(log.substr(std::min(start_, log.size())))) {
    const auto target = request.requestLine.find(' ');
    if (target != Text::npos && request.requestLine.compare(target + 1, path.size() + 1, path + " ") == 0) {
      picked.push_back(std::move(request));
    }
  }
  return picked;
}

bool RequestLog::WaitFor(const Text& path, std::size_t count, DWORD timeoutMs) const {
  return WaitUntil(timeoutMs, [&] { return RequestsFor(path).size() >= count; });
}

}  // namespace version_service

ServedFile::ServedFile(const Text& path, const Text& contents)
    : file_(version_service::ServedPath(path)), before_(version_service::ReadWhole(file_)) {
  written_ = Replace(contents);
}

ServedFile::~ServedFile() {
  if (before_) {
    (void)version_service::WriteWhole(file_, *before_);
  } else {
    DeleteFileA(file_.c_str());
  }
}

bool ServedFile::Replace(const Text& contents) { return version_service::WriteWhole(file_, contents); }

SilentService::SilentService(const Text& path) : flag_(version_service::ServedPath(path) + ".silent") {
  UniqueFile flag(CreateFileA(flag_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

SilentService::~SilentService() { DeleteFileA(flag_.c_str()); }
