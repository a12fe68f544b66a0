#pragma once
// The download server of these tests on 127.0.0.1, for the life of a
// DownloadServer: started, reported and stopped like every test server of
// ours (tests/net/local_server.h), with the script that DOWNLOAD_SERVER_SCRIPT
// names.

#include "common/text.h"
#include "tests/net/local_server.h"

namespace update_test {

class DownloadServer {
 public:
  DownloadServer();

  [[nodiscard]] bool started() const noexcept { return server_.started(); }
  // "http://127.0.0.1:PORT/body?" followed by the options.
  [[nodiscard]] Text BodyUrl(const Text& options) const { return server_.Url("/body?" + options); }

 private:
  net_test::LocalServer server_;
};

// A port of 127.0.0.1 that refuses every connection while the object lives.
using ClosedPort = net_test::RefusingPort;

}  // namespace update_test
