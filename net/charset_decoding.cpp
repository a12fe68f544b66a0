#include "net/charset_decoding.h"

#include <windows.h>
#include <mlang.h>

#include <algorithm>
#include <cstring>

#include "common/com.h"
#include "common/pending_messages.h"
#include "net/text_encoding.h"
#include "net/text_pieces.h"
#include "script/regex_object.h"

namespace {

constexpr std::size_t kSearchedBytes = 1024;
constexpr const char* kMetaCharsetPattern = "<meta.+?charset=[^\\w]?([-\\w]+)";

// CMultiLanguage and IMultiLanguage2; the import library lacks the latter.
constexpr CLSID kMultiLanguageClass = {0x275C23E2, 0x3747, 0x11D0, {0x9F, 0xEA, 0x00, 0xAA, 0x00, 0x3F, 0x86, 0x46}};
constexpr IID kMultiLanguage2Interface = {0xDCCFC164, 0x2B38, 0x11D2, {0xB7, 0xEC, 0x00, 0xC0, 0x4F, 0x8F, 0x5D, 0x9A}};

// Stream constants: adTypeBinary, adTypeText, adModeReadWrite.
constexpr std::int32_t kBinaryType = 1;
constexpr std::int32_t kTextType = 2;
constexpr std::int32_t kReadWriteMode = 3;

// The bytes as a one-dimensional byte array (VT_ARRAY | VT_UI1).
UniqueVariant ByteArrayVariant(const Bytes& bytes) {
  UniqueVariant variant;
  SAFEARRAY* array = ::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
  if (!array) return variant;
  void* data = nullptr;
  if (SUCCEEDED(::SafeArrayAccessData(array, &data))) {
    if (!bytes.empty()) std::memcpy(data, bytes.data(), bytes.size());
    ::SafeArrayUnaccessData(array);
  }
  VARIANT* raw = variant.put();
  raw->vt = VT_ARRAY | VT_UI1;
  raw->parray = array;
  return variant;
}

// Writes the bytes into a binary stream and reads them back as text of the
// character set. Any refused step ends the attempt.
std::optional<Text> DecodeThroughStream(const Bytes& bytes, const Text& charset) {
  ComPtr<IDispatch> stream;
  if (FAILED(CreateObjectByProgId(L"Adodb.Stream", stream))) return std::nullopt;
  const UniqueVariant data = ByteArrayVariant(bytes);
  UniqueVariant text;
  IDispatch* s = stream.get();
  const bool read = SUCCEEDED(PutProperty(s, L"Type", UniqueVariant::FromInt(kBinaryType))) &&
                    SUCCEEDED(PutProperty(s, L"Mode", UniqueVariant::FromInt(kReadWriteMode))) &&
                    SUCCEEDED(CallMethod(s, L"Open", {}, nullptr)) &&
                    SUCCEEDED(CallMethod(s, L"Write", {&data}, nullptr)) &&
                    SUCCEEDED(PutProperty(s, L"Position", UniqueVariant::FromInt(0))) &&
                    SUCCEEDED(PutProperty(s, L"Type", UniqueVariant::FromInt(kTextType))) &&
                    SUCCEEDED(PutProperty(s, L"Charset", UniqueVariant::FromWide(TextToWide(charset)))) &&
                    SUCCEEDED(CallMethod(s, L"ReadText", {}, &text));
  (void)CallMethod(s, L"Close", {}, nullptr);
  if (!read) return std::nullopt;
  return WideToText(text.ToWide());
}

// The pattern cannot match without "<meta" (case ignored; no trail byte can be
// "<"), so pages without one, JSON among them, need no regular-expression
// engine, nor COM, at all: for them the search has run and found nothing.
bool MentionsMetaTag(const Text& page) {
  return FindTextCase(page.substr(0, kSearchedBytes), "<meta", 0, true) != Text::npos;
}

}  // namespace

std::optional<Text> FindMetaCharset(const Text& page) {
  const Text head = page.substr(0, kSearchedBytes);
  if (!MentionsMetaTag(head)) return Text();
  RegexObject regex;
  if (!regex.Search(kMetaCharsetPattern, head)) return std::nullopt;
  return regex.GetSubmatch(1, 1);
}

std::optional<unsigned> CodePageOfCharset(const Text& charset) {
  const ComApartment apartment;
  ComPtr<IMultiLanguage2> languages;
  if (FAILED(::CoCreateInstance(kMultiLanguageClass, nullptr, CLSCTX_INPROC_SERVER, kMultiLanguage2Interface,
                                languages.put_void()))) {
    return std::nullopt;
  }
  const UniqueBstr name = UniqueBstr::FromWide(TextToWide(charset));
  MIMECSETINFO info{};
  if (FAILED(languages->GetCharsetInfo(name.get(), &info))) return std::nullopt;
  return info.uiInternetEncoding;
}

std::optional<Text> DecodeCharset(const Bytes& bytes, const Text& charset) {
  const ComApartment apartment;
  if (auto text = DecodeThroughStream(bytes, charset)) return text;
  const auto codePage = CodePageOfCharset(charset);
  if (!codePage) return std::nullopt;
  return WideToText(MultiByteToWide(bytes, *codePage));
}

Text RedecodeByMetaCharset(Text received) {
  const std::size_t textEnd = std::min(received.find('\0'), received.size());
  const Text head = received.substr(0, std::min(textEnd, kSearchedBytes));
  std::optional<Text> charset = Text();
  if (MentionsMetaTag(head)) {
    const ComApartment apartment;  // one for the search and the decoding
    charset = FindMetaCharset(head);
    if (charset && !charset->empty() && *charset != "gbk" && *charset != "gb2312") {
      if (auto decoded = DecodeCharset(TextBytes(received), *charset)) {
        runtime::ProcessPendingMessages();
        return std::move(*decoded);
      }
    }
  }
  if (charset) runtime::ProcessPendingMessages();
  received.resize(textEnd);  // the body is kept whole only in responseBytes
  return received;
}
