#include "net/header_cookies.h"

namespace {

const Text kLineBreak = "\r\n";
const Text kCookieSeparator = "; ";

// Trimmed, with a space after a final ";" so that splitting at "; " ends there.
void TrimCookieList(Text& cookies) {
  cookies = TrimSpaces(cookies);
  if (!cookies.empty() && cookies.back() == ';') cookies += ' ';
}

}  // namespace

Text CapitaliseFirst(const Text& text) {
  Text result(text);
  if (!result.empty() && result[0] >= 'a' && result[0] <= 'z') result[0] = static_cast<char>(result[0] - 32);
  return result;
}

Text NormaliseHeaderBlock(const Text& block) {
  Text result;
  for (const Text& line : SplitText(block, kLineBreak)) {
    const std::size_t colon = FindText(line, ":");
    if (colon == Text::npos) continue;
    Text name;
    for (const Text& part : SplitText(line.substr(0, colon), "-")) name += CapitaliseFirst(part) + "-";
    if (!name.empty()) name.pop_back();
    // The new name can be shorter than the old one (a trailing "-" has no
    // piece): the rest of the line is taken from where the new name ends.
    result += name + line.substr(name.size()) + kLineBreak;
  }
  if (!result.empty()) result.resize(result.size() - kLineBreak.size());
  return result;
}

Text GetHeaderValue(const Text& block, const Text& name) {
  for (const Text& line : SplitText(block, kLineBreak)) {
    if (line.compare(0, name.size(), name) == 0) {
      return TextAfter(line, name + ": ");
    }
  }
  return {};
}

Text CookieName(const Text& item) {
  const std::size_t equals = FindText(item, "=");
  return TrimSpaces(equals == Text::npos ? item : item.substr(0, equals));
}

bool HasCookieNamed(const TextList& items, const Text& name) {
  for (const Text& item : items) {
    if (CookieName(item) == name) return true;
  }
  return false;
}

Text MergeCookies(Text& oldCookies, Text& newCookies) {
  TrimCookieList(oldCookies);
  TrimCookieList(newCookies);
  TextList merged = SplitText(newCookies, kCookieSeparator);
  for (const Text& item : SplitText(oldCookies, kCookieSeparator)) {
    if (!HasCookieNamed(merged, CookieName(item))) merged.push_back(item);
  }
  Text result;
  for (const Text& item : merged) {
    if (EndsWithText(item, "=deleted")) continue;
    result += item + kCookieSeparator;
  }
  if (!result.empty()) result.resize(result.size() - kCookieSeparator.size());
  oldCookies = JoinDistinct(result, kCookieSeparator, true);
  return oldCookies;
}
