#pragma once
// A JSON document held in a JScript engine (the system's script control) and
// read and changed by path. A path is a script member expression relative to
// the document, such as Click.version or list[0]; empty means the root. Paths
// and values of the operations after Parse are script text from the program
// itself, never from outside: they are inserted into the script unchanged.
//
// Text values are stored with each backslash as U+2400 and read back with the
// backslash restored; JSON output therefore shows such a backslash unescaped.
// The object belongs to the thread that made it. Failures are silent: an empty
// Text, 0, -1 or false.

#include <cstdint>
#include <optional>
#include <vector>

#include "common/com.h"
#include "common/text.h"

// The engine's last error, as its "Error" object reports it.
struct ScriptErrorRecord {
  std::int32_t number = 0;
  Text source;
  Text description;
  Text helpFile;
  std::int32_t helpContext = 0;
  Text text;  // the source line at fault, or else what went wrong
  std::int32_t line = 0;
  std::int32_t column = 0;
};

class JsonDocument {
 public:
  // Initialises COM on the calling thread (the destructor undoes it) and
  // starts an engine holding an empty object.
  JsonDocument() noexcept;
  ~JsonDocument();
  // Shares the engine, and so the document, until either side parses again.
  // The copy holds an apartment reference of its own.
  JsonDocument(const JsonDocument& other) noexcept;
  JsonDocument& operator=(const JsonDocument&) = delete;

  // Replaces the document by text in a fresh engine. Only a strict JSON text
  // (RFC 8259, nesting up to kMaxJsonDepth) reaches the engine, and then only
  // as a literal: nothing in it runs, whichever form is asked for. False for
  // anything else and for a top-level null, which leave the document null.
  // errorRecord receives the engine's error, or the checker's message in its
  // description and text when the text is not JSON.
  [[nodiscard]] bool Parse(const Text& text, bool assignDirectly = false,
                           ScriptErrorRecord* errorRecord = nullptr) noexcept;
  [[nodiscard]] bool Clear() noexcept;
  [[nodiscard]] Text ToJsonText() noexcept;
  // Text mode stores value as a string; with isCode value is script (JSON)
  // that is merged into an existing object or else assigned.
  [[nodiscard]] bool SetValue(Text path, const Text& value, bool isCode = false) noexcept;
  [[nodiscard]] bool SetFromCode(Text path, const Text& code) noexcept;
  // Makes path absolute (prefixed by the document's name unless it already
  // names an existing value that way). True when it designates a value that
  // is neither null nor missing.
  [[nodiscard]] bool ResolvePath(Text& path) noexcept;
  [[nodiscard]] bool Exists(Text path = {}) noexcept;
  // 0 null or missing, 1 boolean, 2 number, 4 object, 5 array, 6 string, -1
  // anything else (also a path whose parent is missing).
  [[nodiscard]] std::int32_t ValueKind(Text path = {}) noexcept;
  [[nodiscard]] Text GetText(Text path = {}, bool asJson = false) noexcept;
  // Member names of an object (not of arrays), in order; returns their count.
  [[nodiscard]] std::int32_t MemberNames(std::vector<Text>& names, Text path = {}) noexcept;
  [[nodiscard]] std::int32_t ArrayLength(Text path = {}) noexcept;
  [[nodiscard]] JsonDocument GetSubDocument(Text path = {}) noexcept;
  // Without isCode the value is stored as a string. A member that is not an
  // array becomes one first.
  [[nodiscard]] bool ArrayAppend(const Text& value, Text path = {}, bool isCode = false,
                                 bool atFront = false) noexcept;
  [[nodiscard]] JsonDocument GetElementDocument(std::int32_t index, Text path = {}) noexcept;
  // The plain form reads string elements only.
  [[nodiscard]] Text GetElementText(std::int32_t index, Text path = {}, bool asJson = false) noexcept;
  // Without isCode the value is quoted as a string, not escaped.
  [[nodiscard]] bool SetElement(std::int32_t index, Text path, const Text& value, bool isCode = false) noexcept;
  [[nodiscard]] bool RemoveElement(std::int32_t index, Text path = {}) noexcept;
  [[nodiscard]] bool Remove(Text path = {}) noexcept;
  [[nodiscard]] bool SetNumber(Text path, double number) noexcept;
  [[nodiscard]] double GetNumber(Text path = {}) noexcept;
  [[nodiscard]] Text GetJsonText(Text path = {}) noexcept;
  [[nodiscard]] ComPtr<IDispatch> GetEngine() const noexcept;
  // The strings, numbers and booleans under path (of nested objects and
  // arrays too when recursive), as text; returns their count.
  [[nodiscard]] std::int32_t LeafValues(std::vector<Text>& values, Text path = {}, bool recursive = false) noexcept;

 private:
  void InitEngine() noexcept;
  // Runs one script expression through the engine's Eval.
  [[nodiscard]] bool Eval(const Text& script, UniqueVariant* result = nullptr) noexcept;
  [[nodiscard]] Text EvalText(const Text& script) noexcept;
  [[nodiscard]] bool EvalBool(const Text& script) noexcept;
  [[nodiscard]] double EvalNumber(const Text& script) noexcept;
  // A new document read from the JSON text that script yields.
  [[nodiscard]] JsonDocument DocumentFrom(const Text& script) noexcept;
  void ReadEngineError(ScriptErrorRecord& record) noexcept;

  ComApartment apartment_;  // first member: released last
  Text variableName_ = "da";
  ComPtr<IDispatch> engine_;
};
