#include "script/json_syntax.h"

#include <vector>

namespace {

bool IsJsonSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r'; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsHexDigit(wchar_t c) { return IsDigit(c) || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F'); }

// Walks the text once without recursion: `open` holds the '[' and '{' that
// are not closed yet.
class Checker {
 public:
  Checker(std::wstring_view text, std::size_t maxDepth) : text_(text), maxDepth_(maxDepth) {}

  std::optional<JsonSyntaxError> Run() {
    if (!text_.empty() && text_[0] == 0xFEFF) at_ = 1;
    const char* problem = CheckAll();
    if (!problem) return std::nullopt;
    return Describe(problem);
  }

 private:
  [[nodiscard]] wchar_t Peek() const { return at_ < text_.size() ? text_[at_] : 0; }
  [[nodiscard]] bool AtEnd() const { return at_ >= text_.size(); }
  void SkipSpace() {
    while (!AtEnd() && IsJsonSpace(text_[at_])) ++at_;
  }
  bool Take(wchar_t c) {
    if (AtEnd() || text_[at_] != c) return false;
    ++at_;
    return true;
  }

  static wchar_t Closing(wchar_t opening) { return opening == L'[' ? L']' : L'}'; }

  // Each step returns null or the reason it stopped.
  const char* CheckAll() {
    for (;;) {
      SkipSpace();
      bool opened = false;
      if (const char* problem = Value(opened)) return problem;
      if (opened) {
        SkipSpace();
        if (!Take(Closing(open_.back()))) {
          // The first member or element follows.
          if (open_.back() == L'{') {
            if (const char* problem = MemberName()) return problem;
          }
          continue;
        }
        open_.pop_back();  // an empty container is a whole value
      }
      // After a whole value: close containers, then go on with the next
      // element or member, or finish.
      for (;;) {
        SkipSpace();
        if (open_.empty()) return AtEnd() ? nullptr : "值后面有多余的内容";
        const bool inArray = open_.back() == L'[';
        if (Take(Closing(open_.back()))) {
          open_.pop_back();
          continue;
        }
        if (!Take(L',')) return inArray ? "缺少 ',' 或 ']'" : "缺少 ',' 或 '}'";
        if (!inArray) {
          if (const char* problem = MemberName()) return problem;
        }
        break;
      }
    }
  }

  const char* MemberName() {
    SkipSpace();
    if (Peek() != L'"') return "缺少成员名";
    if (const char* problem = String()) return problem;
    SkipSpace();
    if (!Take(L':')) return "缺少 ':'";
    return nullptr;
  }

  // A scalar, or the opening of a container (opened is set, open_ grows).
  const char* Value(bool& opened) {
    opened = false;
    const wchar_t c = Peek();
    if (AtEnd()) return "缺少值";
    if (c == L'[' || c == L'{') {
      if (open_.size() >= maxDepth_) return "嵌套层数过多";
      open_.push_back(c);
      ++at_;
      opened = true;
      return nullptr;
    }
    if (c == L'"') return String();
    if (c == L'-' || IsDigit(c)) return Number();
    for (const std::wstring_view word : {std::wstring_view(L"true"), std::wstring_view(L"false"),
                                         std::wstring_view(L"null")}) {
      if (text_.substr(at_, word.size()) == word) {
        at_ += word.size();
        return nullptr;
      }
    }
    return "缺少值";
  }

  const char* String() {
    ++at_;  // the opening quote
    for (;;) {
      if (AtEnd()) return "字符串未结束";
      const wchar_t c = text_[at_];
      if (c == L'"') {
        ++at_;
        return nullptr;
      }
      if (c < 0x20) return "字符串中有未转义的控制字符";
      if (c != L'\\') {
        ++at_;
        continue;
      }
      const wchar_t e = at_ + 1 < text_.size() ? text_[at_ + 1] : 0;
      if (e == L'u') {
        for (std::size_t i = 2; i < 6; ++i) {
          if (at_ + i >= text_.size() || !IsHexDigit(text_[at_ + i])) return "无效的转义序列";
        }
        at_ += 6;
      } else if (e == L'"' || e == L'\\' || e == L'/' || e == L'b' || e == L'f' || e == L'n' || e == L'r' ||
                 e == L't') {
        at_ += 2;
      } else {
        return "无效的转义序列";
      }
    }
  }

  bool Digits() {
    const std::size_t start = at_;
    while (!AtEnd() && IsDigit(text_[at_])) ++at_;
    return at_ > start;
  }

  const char* Number() {
    Take(L'-');
    if (Take(L'0')) {
      if (IsDigit(Peek())) return "无效的数字";  // no leading zeros
    } else if (!Digits()) {
      return "无效的数字";
    }
    if (Take(L'.') && !Digits()) return "无效的数字";
    if (Take(L'e') || Take(L'E')) {
      if (!Take(L'+')) Take(L'-');
      if (!Digits()) return "无效的数字";
    }
    return nullptr;
  }

  JsonSyntaxError Describe(const char* problem) const {
    JsonSyntaxError error;
    error.line = 1;
    std::size_t lineStart = 0;
    const std::size_t end = at_ < text_.size() ? at_ : text_.size();
    for (std::size_t i = 0; i < end; ++i) {
      const bool crlf = text_[i] == L'\r' && i + 1 < end && text_[i + 1] == L'\n';
      if ((text_[i] == L'\n' || text_[i] == L'\r') && !crlf) {
        ++error.line;
        lineStart = i + 1;
      }
    }
    error.column = static_cast<std::int32_t>(end - lineStart);
    error.message = "JSON 格式错误(第 " + IntToText(error.line) + " 行，第 " + IntToText(error.column + 1) +
                    " 列)：" + problem;
    return error;
  }

  std::wstring_view text_;
  std::size_t maxDepth_;
  std::size_t at_ = 0;
  std::vector<wchar_t> open_;
};

}  // namespace

std::optional<JsonSyntaxError> FindJsonSyntaxError(std::wstring_view text, std::size_t maxDepth) {
  return Checker(text, maxDepth).Run();
}
