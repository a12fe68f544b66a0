#include "script/json_document.h"

#include <charconv>
#include <cmath>
#include <string>

#include "script/com_text.h"
#include "script/json_script_library.h"
#include "script/json_syntax.h"

namespace {

// Script suffixes that turn the stored U+2400 back into a backslash, or into
// the JSON escape of U+2400 when the text goes into another engine.
const Text kRestoreBackslash = ".replace(str_reg, '\\\\')";
const Text kKeepMarkerEscaped = ".replace(str_reg, '\\\\u2400')";
// Separates the values of LeafValues in the engine's joined text.
const Text kLeafSeparator = "[2020年7月20日20时0分0秒]";
// The engine's number for a syntax error; the checker reports its own in kind.
constexpr std::int32_t kSyntaxErrorNumber = static_cast<std::int32_t>(0x800A03EA);
const Text kCheckerSource = "JSON";

// The pieces of text between separators; an empty text has none. The search
// steps over double-byte characters, whose second byte may look like '['.
std::vector<Text> SplitText(const Text& text, const Text& separator) {
  std::vector<Text> parts;
  if (text.empty()) return parts;
  std::size_t from = 0;
  for (std::size_t at; (at = FindText(text, separator, from)) != Text::npos; from = at + separator.size()) {
    parts.push_back(text.substr(from, at - from));
  }
  parts.push_back(text.substr(from));
  return parts;
}

// A value for a single-quoted script string: backslash, both quotes, CR and
// LF escaped; double-byte characters pass whole.
Text EscapeForSingleQuotes(const Text& value) {
  Text escaped;
  escaped.reserve(value.size() + 8);
  for (std::size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (IsLeadByte(c) && i + 1 < value.size()) {
      escaped += c;
      escaped += value[++i];
    } else if (c == '\\' || c == '\'' || c == '"') {
      escaped += '\\';
      escaped += c;
    } else if (c == '\r') {
      escaped += "\\r";
    } else if (c == '\n') {
      escaped += "\\n";
    } else {
      escaped += c;
    }
  }
  return escaped;
}

// The shortest decimal that reads back as the same double.
Text NumberScript(double number) {
  if (std::isnan(number)) return "NaN";
  if (std::isinf(number)) return number < 0 ? "-Infinity" : "Infinity";
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
  return Text(buffer, result.ptr);
}

Text Quoted(const Text& value) { return "'" + value + "'"; }

Text Element(const Text& path, std::int32_t index) { return path + "[" + IntToText(index) + "]"; }

Text Stringify(const Text& path) { return "JSON.stringify(" + path + ")"; }

// The document as script: "var name = text", the JSON text unchanged except
// that U+2028 and U+2029, which JSON allows in strings but the script
// language takes for line ends, are written as escapes, and a byte order mark
// is left out.
std::wstring LiteralAssignment(const Text& name, std::wstring_view json) {
  if (!json.empty() && json[0] == 0xFEFF) json.remove_prefix(1);
  std::wstring code = L"var ";
  for (const char c : name) code += static_cast<wchar_t>(static_cast<unsigned char>(c));
  code += L" = ";
  code.reserve(code.size() + json.size() + 2);
  for (const wchar_t c : json) {
    if (c == 0x2028) {
      code += L"\\u2028";
    } else if (c == 0x2029) {
      code += L"\\u2029";
    } else {
      code += c;
    }
  }
  return code;
}

void FillCheckerError(ScriptErrorRecord& record, std::int32_t number, const Text& message, std::int32_t line,
                      std::int32_t column) {
  record = ScriptErrorRecord{};
  record.number = number;
  record.source = kCheckerSource;
  record.description = message;
  record.text = message;
  record.line = line;
  record.column = column;
}

}  // namespace

JsonDocument::JsonDocument() noexcept { InitEngine(); }

JsonDocument::~JsonDocument() { engine_.reset(); }

JsonDocument::JsonDocument(const JsonDocument& other) noexcept
    : variableName_(other.variableName_), engine_(other.engine_) {}

void JsonDocument::InitEngine() noexcept {
  if (FAILED(CreateObjectByProgId(L"MSScriptControl.ScriptControl", engine_))) {
    engine_.reset();
    return;
  }
  // Not every engine honours it, but where it does the document's engine can
  // create no unsafe objects.
  (void)PutProperty(engine_.get(), L"UseSafeSubset", UniqueVariant::FromBool(true));
  (void)PutProperty(engine_.get(), L"Language", WideVariant(L"JavaScript"));
  const UniqueVariant library = WideVariant(kJsonScriptLibrary);
  (void)CallMethod(engine_.get(), L"AddCode", {&library}, nullptr);
  (void)Eval("var " + variableName_ + " = {}, str_Code = String.fromCharCode(9216), " +
             "str_reg = new RegExp(str_Code, 'g')");
}

bool JsonDocument::Eval(const Text& script, UniqueVariant* result) noexcept {
  if (!engine_) return false;
  const UniqueVariant code = AnsiVariant(script);
  return SUCCEEDED(CallMethod(engine_.get(), L"Eval", {&code}, result));
}

Text JsonDocument::EvalText(const Text& script) noexcept {
  UniqueVariant result;
  return Eval(script, &result) ? VariantAnsi(result) : Text();
}

bool JsonDocument::EvalBool(const Text& script) noexcept {
  UniqueVariant result;
  if (!Eval(script, &result)) return false;
  UniqueVariant converted;
  if (FAILED(::VariantChangeType(converted.put(), const_cast<VARIANT*>(&result.get()), 0, VT_BOOL))) return false;
  return converted.get().boolVal != VARIANT_FALSE;
}

double JsonDocument::EvalNumber(const Text& script) noexcept {
  UniqueVariant result;
  if (!Eval(script, &result)) return 0;
  UniqueVariant converted;
  if (FAILED(::VariantChangeType(converted.put(), const_cast<VARIANT*>(&result.get()), 0, VT_R8))) return 0;
  return converted.get().dblVal;
}

void JsonDocument::ReadEngineError(ScriptErrorRecord& record) noexcept {
  const ComPtr<IDispatch> error = PropertyObject(engine_.get(), L"Error");
  record.number = PropertyInt(error.get(), L"Number");
  record.source = PropertyText(error.get(), L"Source");
  record.description = PropertyText(error.get(), L"Description");
  record.helpFile = PropertyText(error.get(), L"HelpFile");
  record.helpContext = PropertyInt(error.get(), L"HelpContext");
  record.text = PropertyText(error.get(), L"Text");
  record.line = PropertyInt(error.get(), L"Line");
  record.column = PropertyInt(error.get(), L"Column");
  // Run-time errors (such as running out of stack) carry no source line; the
  // caller still learns that something went wrong.
  if (record.number != 0 && record.text.empty()) record.text = record.description;
}

// Both forms read the text as a literal once it has proved to be JSON: an
// eval of a JSON string would run the string's contents.
bool JsonDocument::Parse(const Text& text, bool /*assignDirectly*/, ScriptErrorRecord* errorRecord) noexcept {
  const bool hadEngine = static_cast<bool>(engine_);
  if (hadEngine) {
    engine_.reset();
    InitEngine();
  }
  (void)Eval("var " + variableName_ + " = null");
  const UniqueVariant wide = AnsiVariant(text);
  if (const auto error = FindJsonSyntaxError(VariantUnits(wide))) {
    if (errorRecord) FillCheckerError(*errorRecord, kSyntaxErrorNumber, error->message, error->line, error->column);
    return false;
  }
  if (!engine_) {
    if (errorRecord) FillCheckerError(*errorRecord, static_cast<std::int32_t>(E_FAIL), "没有可用的脚本引擎", 0, 0);
    return false;
  }
  const UniqueVariant code = WideVariant(LiteralAssignment(variableName_, VariantUnits(wide)));
  (void)CallMethod(engine_.get(), L"AddCode", {&code}, nullptr);
  if (errorRecord) ReadEngineError(*errorRecord);
  return EvalBool(variableName_ + " != null");
}

// Assignments report whether the script ran: the value an assignment yields
// (0, '' or an object) says nothing about its success.
bool JsonDocument::Clear() noexcept { return Eval(variableName_ + " = {}"); }

Text JsonDocument::ToJsonText() noexcept { return EvalText(Stringify(variableName_) + kRestoreBackslash); }

bool JsonDocument::SetValue(Text path, const Text& value, bool isCode) noexcept {
  if (!isCode) {
    (void)ResolvePath(path);
    return Eval(path + " = '" + EscapeForSingleQuotes(value) + "'.replace(/\\\\/g, str_Code)");
  }
  const bool existed = ResolvePath(path);
  if (existed && EvalText("Object.prototype.toString.call(" + path + ")") == "[object Object]") {
    return Eval(path + " = get__extend(" + path + ", " + (value.empty() ? Text("{}") : value) + ")");
  }
  return Eval(path + " = eval(" + value + ")");
}

bool JsonDocument::SetFromCode(Text path, const Text& code) noexcept {
  (void)ResolvePath(path);
  return Eval(path + " = eval(\"" + code + "\")");
}

bool JsonDocument::ResolvePath(Text& path) noexcept {
  if (path.starts_with(variableName_) && EvalBool(path + " != null")) return true;
  if (path.empty()) {
    path = variableName_;
  } else if (path[0] == '[') {
    path = variableName_ + path;
  } else {
    path = variableName_ + "." + path;
  }
  return EvalBool(path + " != null");
}

bool JsonDocument::Exists(Text path) noexcept { return ResolvePath(path); }

std::int32_t JsonDocument::ValueKind(Text path) noexcept {
  (void)ResolvePath(path);
  if (EvalBool(path + " == null")) return 0;
  const Text kind = EvalText("Object.prototype.toString.call(" + path + ")");
  if (kind == "[object String]") return 6;
  if (kind == "[object Array]") return 5;
  if (kind == "[object Object]") return 4;
  if (kind == "[object Number]") return 2;
  if (kind == "[object Boolean]") return 1;
  return -1;
}

Text JsonDocument::GetText(Text path, bool asJson) noexcept {
  (void)ResolvePath(path);
  return EvalText((asJson ? Stringify(path) : path + ".toString()") + kRestoreBackslash);
}

std::int32_t JsonDocument::MemberNames(std::vector<Text>& names, Text path) noexcept {
  (void)ResolvePath(path);
  names = SplitText(EvalText("get__name_All(" + path + ")"), "\r\n");
  return static_cast<std::int32_t>(names.size());
}

std::int32_t JsonDocument::ArrayLength(Text path) noexcept {
  (void)ResolvePath(path);
  return static_cast<std::int32_t>(EvalNumber("get__count(" + path + ")"));
}

// The value travels as JSON with U+2400 escaped, so that text values keep
// their backslashes in the new engine exactly as they are stored here.
JsonDocument JsonDocument::DocumentFrom(const Text& script) noexcept {
  const Text json = EvalText(script + kKeepMarkerEscaped);
  JsonDocument temporary;
  (void)temporary.Parse(json);
  return JsonDocument(temporary);
}

JsonDocument JsonDocument::GetSubDocument(Text path) noexcept {
  (void)ResolvePath(path);
  return DocumentFrom(Stringify(path));
}

bool JsonDocument::ArrayAppend(const Text& value, Text path, bool isCode, bool atFront) noexcept {
  (void)ResolvePath(path);
  return Eval("if (Object.prototype.toString.call(" + path + ") != '[object Array]') { " + path +
              " = new Array() } " + path + (atFront ? ".unshift(" : ".push(") + (isCode ? value : Quoted(value)) +
              ")");
}

JsonDocument JsonDocument::GetElementDocument(std::int32_t index, Text path) noexcept {
  (void)ResolvePath(path);
  return DocumentFrom(Stringify(Element(path, index)));
}

Text JsonDocument::GetElementText(std::int32_t index, Text path, bool asJson) noexcept {
  (void)ResolvePath(path);
  const Text element = Element(path, index);
  return EvalText((asJson ? Stringify(element) : element) + kRestoreBackslash);
}

bool JsonDocument::SetElement(std::int32_t index, Text path, const Text& value, bool isCode) noexcept {
  (void)ResolvePath(path);
  return Eval(Element(path, index) + " = " + (isCode ? value : Quoted(value)));
}

bool JsonDocument::RemoveElement(std::int32_t index, Text path) noexcept {
  (void)ResolvePath(path);
  return Eval(path + ".splice(" + IntToText(index) + ", 1)");
}

// delete itself says whether the member could be removed.
bool JsonDocument::Remove(Text path) noexcept {
  (void)ResolvePath(path);
  return EvalBool("delete " + path);
}

bool JsonDocument::SetNumber(Text path, double number) noexcept {
  (void)ResolvePath(path);
  return Eval(path + " = " + NumberScript(number));
}

double JsonDocument::GetNumber(Text path) noexcept {
  (void)ResolvePath(path);
  return EvalNumber(path);
}

Text JsonDocument::GetJsonText(Text path) noexcept {
  (void)ResolvePath(path);
  return EvalText(Stringify(path) + kRestoreBackslash);
}

ComPtr<IDispatch> JsonDocument::GetEngine() const noexcept { return engine_; }

std::int32_t JsonDocument::LeafValues(std::vector<Text>& values, Text path, bool recursive) noexcept {
  (void)ResolvePath(path);
  (void)Eval("var str_all = new Array()");
  (void)Eval("get__nodeValue(" + path + (recursive ? ", true)" : ", false)"));
  values = SplitText(EvalText("str_all.join('" + kLeafSeparator + "')" + kRestoreBackslash), kLeafSeparator);
  return static_cast<std::int32_t>(values.size());
}
