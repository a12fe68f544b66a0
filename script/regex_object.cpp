#include "script/regex_object.h"

#include "script/com_text.h"

namespace {

// Every occurrence of the placeholder becomes one double quote; the search
// steps over double-byte characters so that it never matches across two.
Text ExpandQuotePlaceholder(const Text& pattern) {
  static const Text placeholder = "#引号";
  Text expanded;
  std::size_t from = 0;
  for (std::size_t at; (at = FindText(pattern, placeholder, from)) != Text::npos;
       from = at + placeholder.size()) {
    expanded.append(pattern, from, at - from);
    expanded += '"';
  }
  expanded.append(pattern, from, Text::npos);
  return expanded;
}

// Item number index (0-based) of a collection, as the variant it holds.
bool CollectionItem(IDispatch* collection, std::int32_t index, UniqueVariant& item) noexcept {
  if (!collection || index < 0) return false;
  const UniqueVariant argument = UniqueVariant::FromInt(index);
  return SUCCEEDED(GetProperty(collection, L"Item", item, {&argument}));
}

}  // namespace

RegexObject::RegexObject() noexcept = default;

RegexObject::~RegexObject() {
  regex_.reset();
  matches_.reset();
  subject_ = UniqueVariant();
}

RegexObject::RegexObject(const RegexObject& other) noexcept
    : regex_(other.regex_), matches_(other.matches_), subject_(other.subject_) {}

bool RegexObject::Search(const Text& pattern, const Text& subject, bool caseSensitive, bool multiline,
                         bool global, bool quotePlaceholder) noexcept {
  regex_.reset();
  matches_.reset();
  // A failed creation leaves regex_ empty; every call below then fails.
  (void)CreateObjectByProgId(L"VBScript.RegExp", regex_);
  (void)PutProperty(regex_.get(), L"IgnoreCase", UniqueVariant::FromBool(!caseSensitive));
  (void)PutProperty(regex_.get(), L"Multiline", UniqueVariant::FromBool(multiline));
  (void)PutProperty(regex_.get(), L"Global", UniqueVariant::FromBool(global));
  (void)PutProperty(regex_.get(), L"Pattern",
                    AnsiVariant(quotePlaceholder ? ExpandQuotePlaceholder(pattern) : pattern));
  subject_ = AnsiVariant(subject);
  UniqueVariant result;
  if (SUCCEEDED(CallMethod(regex_.get(), L"Execute", {&subject_}, &result))) matches_ = result.ToDispatch();
  return static_cast<bool>(matches_);
}

Text RegexObject::GetPattern() const noexcept {
  if (!regex_) return {};
  return PropertyText(regex_.get(), L"Pattern");
}

Text RegexObject::Replace(const Text& replacement) const noexcept {
  const UniqueVariant with = AnsiVariant(replacement);
  UniqueVariant result;
  if (FAILED(CallMethod(regex_.get(), L"Replace", {&subject_, &with}, &result))) return {};
  return VariantAnsi(result);
}

std::int32_t RegexObject::MatchCount() const noexcept { return PropertyInt(matches_.get(), L"Count"); }

ComPtr<IDispatch> RegexObject::MatchItem(std::int32_t index) const noexcept {
  UniqueVariant item;
  if (!CollectionItem(matches_.get(), index, item)) return nullptr;
  return item.ToDispatch();
}

// FirstIndex counts UTF-16 units. The subject's text before the match,
// converted back, has exactly the byte length we want; a search for the match
// text from FirstIndex could stop at an earlier, equal match.
std::int32_t RegexObject::BytePosition(IDispatch* match) const noexcept {
  UniqueVariant first;
  if (FAILED(GetProperty(match, L"FirstIndex", first))) return -1;
  const std::int32_t units = first.ToInt();
  if (units < 0 || static_cast<std::size_t>(units) > VariantUnits(subject_).size()) return -1;
  return static_cast<std::int32_t>(WideToAnsi(VariantUnits(subject_).substr(0, static_cast<std::size_t>(units))).size());
}

Text RegexObject::GetMatch(std::int32_t matchIndex, std::int32_t* position) const noexcept {
  if (position) *position = -1;
  const ComPtr<IDispatch> match = MatchItem(matchIndex - 1);
  if (!match) return {};
  if (position) *position = BytePosition(match.get());
  return PropertyText(match.get(), L"Value");
}

Text RegexObject::GetSubmatch(std::int32_t matchIndex, std::int32_t groupIndex,
                              std::int32_t* position) const noexcept {
  if (position) *position = -1;
  const ComPtr<IDispatch> match = MatchItem(matchIndex - 1);
  if (!match) return {};
  UniqueVariant group;
  if (!CollectionItem(PropertyObject(match.get(), L"SubMatches").get(), groupIndex - 1, group)) return {};
  if (group.type() == VT_EMPTY) return {};  // the group took no part
  Text text = VariantAnsi(group);
  if (position) {
    const std::int32_t start = BytePosition(match.get());
    if (start >= 0) {
      const Text subject = VariantAnsi(subject_);
      const std::size_t at = FindText(subject, text, static_cast<std::size_t>(start));
      if (at != Text::npos) *position = static_cast<std::int32_t>(at);
    }
  }
  return text;
}

std::int32_t RegexObject::SubmatchCount() const noexcept {
  const ComPtr<IDispatch> first = MatchItem(0);
  if (!first) return 0;
  return PropertyInt(PropertyObject(first.get(), L"SubMatches").get(), L"Count");
}
