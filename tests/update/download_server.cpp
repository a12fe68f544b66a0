#include "tests/update/download_server.h"

namespace update_test {

DownloadServer::DownloadServer() : server_(DOWNLOAD_SERVER_SCRIPT) {}

}  // namespace update_test
