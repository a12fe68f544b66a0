#pragma once
// The download server of these tests (download_server.py) on 127.0.0.1, for
// the life of a DownloadServer. Wine starts the Linux python3 as a process of
// its own, without a handle for us; the server calls back on a connection of
// ours, tells its port over it and serves until that connection closes, which
// happens when the DownloadServer is destroyed and also when this process
// ends in any other way.

#include <winsock2.h>

#include "common/handles.h"
#include "common/text.h"

namespace update_test {

struct SocketTraits {
  using pointer = SOCKET;
  static pointer Invalid() noexcept { return INVALID_SOCKET; }
  static void Close(pointer value) noexcept { ::closesocket(value); }
};
using UniqueSocket = UniqueAny<SocketTraits>;

// Winsock for the life of the object.
class Winsock {
 public:
  Winsock() noexcept {
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
  }
  ~Winsock() { ::WSACleanup(); }
  Winsock(const Winsock&) = delete;
  Winsock& operator=(const Winsock&) = delete;
};

class DownloadServer {
 public:
  DownloadServer();
  // Closes the connection and waits (a few seconds at most) until the server
  // has closed its end, that is, has stopped.
  ~DownloadServer();
  DownloadServer(const DownloadServer&) = delete;
  DownloadServer& operator=(const DownloadServer&) = delete;

  [[nodiscard]] bool started() const noexcept { return port_ != 0; }
  // "http://127.0.0.1:PORT/body?" followed by the options.
  [[nodiscard]] Text BodyUrl(const Text& options) const;

 private:
  Winsock winsock_;
  UniqueSocket control_;
  int port_ = 0;
};

// A port of 127.0.0.1 that refuses every connection while the object lives:
// bound, so nobody else takes it, but not listening.
class ClosedPort {
 public:
  ClosedPort() noexcept;
  [[nodiscard]] int port() const noexcept { return port_; }

 private:
  Winsock winsock_;
  UniqueSocket socket_;
  int port_ = 0;
};

}  // namespace update_test
