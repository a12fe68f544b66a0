#include "tests/net/local_server.h"

#include <ws2tcpip.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace net_test {
namespace {

// Where Wine finds the Linux interpreter.
constexpr const wchar_t* kPython = L"Z:\\usr\\bin\\python3";
constexpr int kStartSeconds = 20;
constexpr int kStopSeconds = 5;

bool WaitReadable(SOCKET socket, int seconds) noexcept {
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(socket, &readable);
  timeval timeout{seconds, 0};
  return ::select(0, &readable, nullptr, nullptr, &timeout) == 1;
}

// A socket bound to 127.0.0.1 at a free port; 0 in port on failure.
UniqueSocket BindLoopback(int& port) noexcept {
  port = 0;
  UniqueSocket socket(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  if (!socket) return socket;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int length = sizeof address;
  if (::bind(socket.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::getsockname(socket.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    return {};
  }
  port = ntohs(address.sin_port);
  return socket;
}

// Starts python3 on the server script; Wine runs it as a Linux process of
// its own, so there is no process handle to keep.
bool StartServerProcess(const std::string& scriptPath, int reportPort) {
  std::wstring commandLine = L"python3 -u \"";
  for (const char c : scriptPath) commandLine += static_cast<wchar_t>(static_cast<unsigned char>(c));
  commandLine += L"\" --report " + std::to_wstring(reportPort);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(kPython, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
    std::fprintf(stderr, "cannot start %ls: error %lu\n", kPython, ::GetLastError());
    return false;
  }
  if (process.hThread) ::CloseHandle(process.hThread);
  if (process.hProcess) ::CloseHandle(process.hProcess);
  return true;
}

}  // namespace

WinsockUser::WinsockUser() noexcept {
  WSADATA data;
  ::WSAStartup(MAKEWORD(2, 2), &data);
}

WinsockUser::~WinsockUser() { ::WSACleanup(); }

LocalServer::LocalServer() : LocalServer(NET_TEST_SERVER_SCRIPT) {}

LocalServer::LocalServer(const std::string& scriptPath) {
  int listenPort = 0;
  const UniqueSocket listener = BindLoopback(listenPort);
  if (!listener || ::listen(listener.get(), 1) != 0) return;
  if (!StartServerProcess(scriptPath, listenPort)) return;
  if (!WaitReadable(listener.get(), kStartSeconds)) {
    std::fprintf(stderr, "the test server did not call back within %d s\n", kStartSeconds);
    return;
  }
  control_.reset(::accept(listener.get(), nullptr, nullptr));
  std::string line;
  char c = 0;
  while (control_ && WaitReadable(control_.get(), kStartSeconds) && ::recv(control_.get(), &c, 1, 0) == 1 && c != '\n') {
    line += c;
  }
  port_ = c == '\n' ? std::atoi(line.c_str()) : 0;
}

LocalServer::~LocalServer() {
  if (!control_) return;
  ::shutdown(control_.get(), SD_SEND);
  // The server closes its end once it has stopped listening.
  char buffer[64];
  while (WaitReadable(control_.get(), kStopSeconds) && ::recv(control_.get(), buffer, sizeof buffer, 0) > 0) {
  }
}

Text LocalServer::Url(const Text& pathAndQuery) const {
  return "http://127.0.0.1:" + std::to_string(port_) + pathAndQuery;
}

RefusingPort::RefusingPort() : socket_(BindLoopback(port_)) {}

}  // namespace net_test
