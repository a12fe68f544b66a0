#pragma once
// A test server script of ours on 127.0.0.1, for the life of a LocalServer:
// tests/net/test_server.py unless another script is named. Wine starts the
// Linux python3 for us; the script is given "--report PORT", reports its own
// free port over a control connection to that port and ends when the
// connection closes: when the LocalServer is destroyed, and also when this
// process ends in any other way, since the connection closes with it.

#include <winsock2.h>

#include <string>

#include "common/handles.h"
#include "common/text.h"

namespace net_test {

struct SocketTraits {
  using pointer = SOCKET;
  static pointer Invalid() noexcept { return INVALID_SOCKET; }
  static void Close(pointer value) noexcept { ::closesocket(value); }
};
using UniqueSocket = UniqueAny<SocketTraits>;

// WSAStartup for the life of the object.
class WinsockUser {
 public:
  WinsockUser() noexcept;
  ~WinsockUser();
  WinsockUser(const WinsockUser&) = delete;
  WinsockUser& operator=(const WinsockUser&) = delete;
};

class LocalServer {
 public:
  LocalServer();
  // scriptPath: the script's Linux path, which python3 reads as it stands.
  explicit LocalServer(const std::string& scriptPath);
  // Closes the control connection and waits until the server has stopped.
  ~LocalServer();
  LocalServer(const LocalServer&) = delete;
  LocalServer& operator=(const LocalServer&) = delete;

  // False when the server did not report its port in time.
  [[nodiscard]] bool started() const noexcept { return port_ != 0; }
  [[nodiscard]] int port() const noexcept { return port_; }
  // "http://127.0.0.1:PORT" followed by pathAndQuery.
  [[nodiscard]] Text Url(const Text& pathAndQuery) const;

 private:
  WinsockUser winsock_;
  UniqueSocket control_;
  int port_ = 0;
};

// A port on 127.0.0.1 that refuses every connection while the object lives:
// bound by us, so nobody else can take it, but never listening.
class RefusingPort {
 public:
  RefusingPort();
  [[nodiscard]] int port() const noexcept { return port_; }

 private:
  WinsockUser winsock_;
  UniqueSocket socket_;
  int port_ = 0;
};

}  // namespace net_test
