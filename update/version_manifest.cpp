#include "update/version_manifest.h"

#include <algorithm>
#include <iterator>

#include "net/text_encoding.h"
#include "net/web_request.h"

namespace {

// Publishers' editors may save UTF-8 with a byte order mark; JSON readers may
// ignore it, and the code page 936 text would otherwise start with a "?".
void DropByteOrderMark(Bytes& utf8) {
  static constexpr std::uint8_t kMark[] = {0xEF, 0xBB, 0xBF};
  if (utf8.size() >= 3 && std::equal(std::begin(kMark), std::end(kMark), utf8.begin())) {
    utf8.erase(utf8.begin(), utf8.begin() + 3);
  }
}

}  // namespace

VersionManifest::VersionManifest(const Text& address) {
  Bytes body = TextBytes(WebRequest(address));
  answered_ = !body.empty();
  // An empty answer is no document at all: nothing to parse, and no parse
  // error to report.
  if (!answered_) return;
  DropByteOrderMark(body);
  parsed_ = document_.Parse(Utf8ToText(body), false, &error_);
}

Text VersionManifest::Read(const Text& productKey, const char* member) {
  return document_.GetText(productKey + "." + member);
}
