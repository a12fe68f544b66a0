#include "tests/update/download_server.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace update_test {
namespace {

constexpr const wchar_t* kPython = L"Z:\\usr\\bin\\python3";
constexpr int kCallbackSeconds = 20;
constexpr int kStopSeconds = 5;

bool Readable(SOCKET socket, int seconds) noexcept {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(socket, &set);
  timeval limit{seconds, 0};
  return ::select(0, &set, nullptr, nullptr, &limit) == 1;
}

// A TCP socket bound to a free port of 127.0.0.1.
UniqueSocket BoundLoopbackSocket(int& port) noexcept {
  port = 0;
  UniqueSocket socket(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int size = sizeof address;
  if (!socket || ::bind(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      ::getsockname(socket.get(), reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    return {};
  }
  port = ntohs(address.sin_port);
  return socket;
}

bool LaunchServer(int callbackPort) noexcept {
  // python3 reads the script's Linux path as it stands.
  std::wstring commandLine = L"python3 -u " + std::wstring(DOWNLOAD_SERVER_SCRIPT, DOWNLOAD_SERVER_SCRIPT +
                                                               sizeof DOWNLOAD_SERVER_SCRIPT - 1);
  commandLine += L" --report " + std::to_wstring(callbackPort);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!::CreateProcessW(kPython, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started)) {
    std::fprintf(stderr, "cannot start %ls: error %lu\n", kPython, ::GetLastError());
    return false;
  }
  UniqueHandle thread(started.hThread);
  UniqueHandle process(started.hProcess);
  return true;
}

}  // namespace

DownloadServer::DownloadServer() {
  int callbackPort = 0;
  const UniqueSocket listener = BoundLoopbackSocket(callbackPort);
  if (!listener || ::listen(listener.get(), 1) != 0 || !LaunchServer(callbackPort)) return;
  if (!Readable(listener.get(), kCallbackSeconds)) {
    std::fprintf(stderr, "the download server did not call back within %d s\n", kCallbackSeconds);
    return;
  }
  control_.reset(::accept(listener.get(), nullptr, nullptr));
  std::string line;
  char c = 0;
  while (control_ && Readable(control_.get(), kCallbackSeconds) && ::recv(control_.get(), &c, 1, 0) == 1 &&
         c != '\n') {
    line += c;
  }
  if (c == '\n') port_ = std::atoi(line.c_str());
}

DownloadServer::~DownloadServer() {
  if (!control_) return;
  ::shutdown(control_.get(), SD_SEND);
  char scratch[64];
  while (Readable(control_.get(), kStopSeconds) && ::recv(control_.get(), scratch, sizeof scratch, 0) > 0) {
  }
}

Text DownloadServer::BodyUrl(const Text& options) const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/body?" + options;
}

ClosedPort::ClosedPort() noexcept : socket_(BoundLoopbackSocket(port_)) {}

}  // namespace update_test
