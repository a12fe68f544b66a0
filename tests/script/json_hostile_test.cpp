// Texts that would run script if the document were evaluated as code, and
// other bad input for Parse. Every payload creates a marker file when it runs;
// each row first shows that Parse runs nothing, then that the same text does
// run when spliced into script source, so a missing marker means something.
#include <gtest/gtest.h>

#include "tests/case_name.h"

#include <windows.h>

#include <string>

#include "script/com_text.h"
#include "script/json_document.h"
#include "script/json_syntax.h"
#include "tests/script/sample_documents.h"

namespace {

// A script statement that creates the file named by the placeholder.
const Text kCreateMarker = "new ActiveXObject('Scripting.FileSystemObject').CreateTextFile('@M@').Close()";

Text ReplaceAll(Text text, const Text& from, const Text& to) {
  for (std::size_t at = 0; (at = text.find(from, at)) != Text::npos; at += to.size()) text.replace(at, from.size(), to);
  return text;
}

bool FileExists(const Text& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

struct HostileCase {
  std::string name;
  Text text;     // @C@ stands for the marker-creating statement
  bool isJson;   // Parse gives true (the text is JSON; its strings stay data)
  bool runsInEvalForm;    // when spliced as "var da = eval(" text ")"
  bool runsInDirectForm;  // when spliced as "var da = " text
};

class JsonHostileText : public testing::TestWithParam<HostileCase> {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    ASSERT_GT(::GetTempPathA(MAX_PATH, temp), 0u);
    folder_ = Text(temp) + "json_markers_" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(folder_.c_str(), nullptr);
  }
  void TearDown() override {
    for (const char* form : {"eval", "direct"}) ::DeleteFileA(MarkerPath(form).c_str());
    ::RemoveDirectoryA(folder_.c_str());
  }
  Text MarkerPath(const char* form) const { return folder_ + "\\" + GetParam().name + "_" + form + ".txt"; }
  // The text with the payload aimed at this form's marker. The script sees
  // forward slashes, which need no escaping in any string form.
  Text TextFor(const char* form) const {
    const Text marker = ReplaceAll(MarkerPath(form), "\\", "/");
    return ReplaceAll(GetParam().text, "@C@", ReplaceAll(kCreateMarker, "@M@", marker));
  }

  static ComPtr<IDispatch> PlainEngine() {
    ComPtr<IDispatch> engine;
    EXPECT_EQ(CreateObjectByProgId(L"MSScriptControl.ScriptControl", engine), S_OK);
    EXPECT_EQ(PutProperty(engine.get(), L"Language", AnsiVariant("JavaScript")), S_OK);
    return engine;
  }

  ComApartment apartment_;
  Text folder_;
};

TEST_P(JsonHostileText, NothingRuns) {
  const HostileCase& c = GetParam();
  for (const bool direct : {false, true}) {
    const char* form = direct ? "direct" : "eval";
    SCOPED_TRACE(form);
    const Text text = TextFor(form);
    {
      JsonDocument document;
      ScriptErrorRecord record;
      EXPECT_EQ(document.Parse(text, direct, &record), c.isJson);
      EXPECT_EQ(record.text.empty(), c.isJson) << record.text;
      EXPECT_FALSE(FileExists(MarkerPath(form)));
      if (!c.isJson) {
        EXPECT_EQ(document.GetText(), "");
      }
    }
    // The same text spliced into script source, in an engine of its own
    // without the safe subset.
    ComPtr<IDispatch> engine = PlainEngine();
    const UniqueVariant code = AnsiVariant(direct ? "var da = " + text : "var da = eval(" + text + ")");
    (void)CallMethod(engine.get(), L"AddCode", {&code}, nullptr);
    EXPECT_EQ(FileExists(MarkerPath(form)), direct ? c.runsInDirectForm : c.runsInEvalForm);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JsonHostileText,
    testing::Values(
        HostileCase{"statement_between_values", "1);@C@;(1", false, true, false},
        HostileCase{"statement_after_value", "{\"a\":1};@C@", false, false, true},
        HostileCase{"function_call_member", "{\"a\":(function(){@C@})()}", false, true, true},
        HostileCase{"string_closed_and_concatenated", "{\"a\":\"x\"+(function(){@C@;return ''})()+\"y\"}",
                    false, true, true},
        HostileCase{"escaped_backslash_then_concatenation", "{\"a\":\"\\\\\"+(@C@)+\"\\\\\"}", false, true,
                    true},
        HostileCase{"call_in_array", "[(function(){@C@})()]", false, true, true},
        HostileCase{"eval_member", "{\"a\":eval(\"@C@\")}", false, true, true},
        HostileCase{"comment_then_call", "{}//x\n,(function(){@C@})()", false, true, false},
        HostileCase{"top_level_string_of_code", "\"@C@\"", true, true, false},
        HostileCase{"member_string_of_code", "{\"a\":\"@C@\"}", true, false, false},
        HostileCase{"quote_as_unicode_escape", "{\"a\":\"\\u0022+(@C@)+\\u0022\"}", true, false, false},
        HostileCase{"line_separator_escape", "[\"\\u2028@C@\"]", true, false, false}),
    CaseName());

// Where the engine honours the safe subset, even script of the program's own
// cannot create objects in a document's engine.
TEST(JsonSafeSubset, DocumentEngineCreatesNoObjects) {
  char temp[MAX_PATH];
  ASSERT_GT(::GetTempPathA(MAX_PATH, temp), 0u);
  const Text marker = Text(temp) + "json_safe_subset_" + std::to_string(::GetCurrentProcessId()) + ".txt";
  const Text create = ReplaceAll(kCreateMarker, "@M@", ReplaceAll(marker, "\\", "/"));
  JsonDocument document;
  EXPECT_FALSE(document.SetValue("x", create, true));
  EXPECT_FALSE(FileExists(marker));
  ::DeleteFileA(marker.c_str());
}

TEST(JsonBadInput, ScriptTextFromTheNetworkIsRefused) {
  JsonDocument document;
  ScriptErrorRecord record;
  EXPECT_FALSE(document.Parse("1);new ActiveXObject(\"WScript.Shell\").Run(\"calc\");(1", false, &record));
  EXPECT_FALSE(record.text.empty());
  EXPECT_FALSE(document.Parse("1);new ActiveXObject(\"WScript.Shell\").Run(\"calc\");(1", true, &record));
  EXPECT_FALSE(record.text.empty());
}

TEST(JsonBadInput, FiveMegabyteDocument) {
  int count = 0;
  const Text text = LargeDocument(5 * 1024 * 1024, count);
  JsonDocument document;
  ASSERT_TRUE(document.Parse(text));
  EXPECT_EQ(document.ArrayLength("items"), count);
  EXPECT_EQ(document.GetText("items[1234].name"), "项目1234");
  EXPECT_EQ(document.GetText("items[1234].value"), "123.425");
  EXPECT_EQ(document.GetElementText(1, "items[7].tags"), "b\\c");
}

TEST(JsonBadInput, DeepNesting) {
  JsonDocument document;
  ScriptErrorRecord record;
  const Text tooDeep = NestedArrays(10000);
  EXPECT_FALSE(document.Parse(tooDeep, false, &record));
  EXPECT_FALSE(record.text.empty());
  EXPECT_FALSE(document.Parse(tooDeep, true));
  // The deepest accepted nesting is read and written without harm.
  const Text deepest = NestedArrays(kMaxJsonDepth);
  ASSERT_TRUE(document.Parse(deepest));
  EXPECT_EQ(document.GetText(), "");  // nested empty arrays join to nothing
  EXPECT_EQ(document.ToJsonText(), deepest);
  std::vector<Text> leaves;
  EXPECT_EQ(document.LeafValues(leaves, "", true), 0);
  Text objects;
  for (std::size_t i = 0; i < kMaxJsonDepth; ++i) objects += "{\"a\":";
  objects += "\"x\"" + Text(kMaxJsonDepth, '}');
  ASSERT_TRUE(document.Parse(objects));
  EXPECT_EQ(document.ToJsonText(), objects);
  EXPECT_EQ(document.LeafValues(leaves, "", true), 1);
}

TEST(JsonBadInput, ZeroCharactersAndSurrogates) {
  JsonDocument document;
  ASSERT_TRUE(document.Parse("[\"a\\u0000b\",\"\\ud800x\",\"x\\udc00\"]"));
  EXPECT_EQ(document.GetElementText(0), Text("a\0b", 3));
  EXPECT_EQ(document.ArrayLength(), 3);
  // The code page has no form for a lone surrogate: it reads as '?'.
  EXPECT_EQ(document.ToJsonText(), "[\"a\\u0000b\",\"?x\",\"x?\"]");
  ScriptErrorRecord record;
  EXPECT_FALSE(document.Parse(Text("[\"a\0b\"]", 7), false, &record));
  EXPECT_FALSE(record.text.empty());
  EXPECT_FALSE(document.Parse(Text("{}\0;x", 5)));
}

TEST(JsonBadInput, LineSeparatorsInStrings) {
  JsonDocument document;
  ASSERT_TRUE(document.Parse("[\"a\\u2028b\\u2029c\"]"));
  EXPECT_EQ(document.ToJsonText(), "[\"a\\u2028b\\u2029c\"]");
  EXPECT_EQ(document.ArrayLength(), 1);
}

TEST(JsonBadInput, LoneBackslashes) {
  JsonDocument document;
  ASSERT_TRUE(document.Parse("[\"a\\\\\"]"));
  EXPECT_EQ(document.GetElementText(0), "a\\");
  ASSERT_TRUE(document.Parse("\"\\\\\""));
  EXPECT_EQ(document.GetText(), "\\");
  EXPECT_FALSE(document.Parse("[\"a\\\"]"));
  EXPECT_FALSE(document.Parse("[\"\\a\"]"));
  EXPECT_FALSE(document.Parse("\"\\"));
}

}  // namespace
