// The version manifest and the two checks, against the version service of the
// test run. Each test serves manifests of its own at a path of its own, so it
// disturbs neither the program's manifest nor tests that run beside it.
#include "update/version_check.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

#include "common/handles.h"
#include "script/com_text.h"
#include "tests/case_name.h"
#include "tests/e2e/message_box_reader.h"
#include "tests/e2e/program_under_test.h"
#include "tests/e2e/version_service.h"
#include "update/version_manifest.h"

namespace {

// Manifests are UTF-8 whatever the code page of our literals.
Text Utf8(const char8_t* text) { return Text(reinterpret_cast<const char*>(text)); }

// A manifest in the service's usual shape.
Text Manifest(const Text& version, const Text& support = "true", const Text& notes = "\"n\"") {
  return "{\"Click\":{\"version\":" + version + ",\"update\":" + notes + ",\"download\":\"http://127.0.0.1:9/x.exe\"," +
         "\"Support\":" + support + "}}";
}

// A path of this process's own on the service.
Text OwnPath(const Text& name) {
  return "/unit-" + IntToText(static_cast<std::int32_t>(GetCurrentProcessId())) + "-" + name + ".json";
}

// A manifest served at a path of this process's own, or, without contents, a
// service that does not answer there.
class OwnManifest {
 public:
  OwnManifest(const std::string& name, const std::optional<Text>& contents)
      : path_(OwnPath(name)), served_(path_, contents.value_or("")) {
    if (!contents) silence_.emplace(path_);
  }
  [[nodiscard]] bool served() const noexcept { return served_.written(); }
  [[nodiscard]] Text address() const { return version_service::Url(path_); }

 private:
  Text path_;
  ServedFile served_;
  std::optional<SilentService> silence_;
};

// What one manifest should read as; nullopt contents stand for a service that
// does not answer.
struct ReadingCase {
  std::string name;
  std::optional<Text> contents;
  bool answered;
  bool parsed;
  bool parseError;
  Text version;
  Text notes;
  Text support;
};

class ManifestReading : public testing::TestWithParam<ReadingCase> {};

TEST_P(ManifestReading, ReadsAsTheChecksSeeIt) {
  const ReadingCase& c = GetParam();
  const OwnManifest served(c.name, c.contents);
  ASSERT_TRUE(served.served());
  VersionManifest manifest(served.address());
  EXPECT_EQ(manifest.answered(), c.answered);
  EXPECT_EQ(manifest.parsed(), c.parsed);
  EXPECT_EQ(!manifest.errorText().empty(), c.parseError) << manifest.errorText();
  EXPECT_EQ(manifest.Read(ProductKey, "version"), c.version);
  EXPECT_EQ(manifest.Read(ProductKey, "update"), c.notes);
  EXPECT_EQ(manifest.Read(ProductKey, "Support"), c.support);
}

const Text kNumberVersion = Manifest("1.0", "\"true\"");
const Text kLongVersion(300, '9');

INSTANTIATE_TEST_SUITE_P(
    Manifests, ManifestReading,
    testing::Values(
        ReadingCase{"string_version_boolean_support", Manifest("\"1.0\""), true, true, false, "1.0", "n", "true"},
        ReadingCase{"number_version_reads_without_its_zero", kNumberVersion, true, true, false, "1", "n", "true"},
        ReadingCase{"trailing_blank_stays", Manifest("\"1.0 \"", "\"True\""), true, true, false, "1.0 ", "n",
                    "True"},
        ReadingCase{"support_false", Manifest("\"1.0\"", "false"), true, true, false, "1.0", "n", "false"},
        ReadingCase{"support_number", Manifest("\"1.0\"", "1"), true, true, false, "1.0", "n", "1"},
        ReadingCase{"support_missing", "{\"Click\":{\"version\":\"1.0\"}}", true, true, false, "1.0", "", ""},
        ReadingCase{"no_answer", std::nullopt, false, false, false, "", "", ""},
        ReadingCase{"empty_body", "", false, false, false, "", "", ""},
        ReadingCase{"not_json", "<html>Service Unavailable</html>", true, false, true, "", "", ""},
        ReadingCase{"top_level_null", "null", true, false, false, "", "", ""},
        ReadingCase{"top_level_array", "[{\"Click\":{\"version\":\"1.0\"}}]", true, true, false, "", "", ""},
        ReadingCase{"product_is_a_string", "{\"Click\":\"1.0\"}", true, true, false, "", "", ""},
        ReadingCase{"byte_order_mark", Text("\xEF\xBB\xBF") + Manifest("\"1.0\""), true, true, false, "1.0", "n",
                    "true"},
        ReadingCase{"chinese_notes", Manifest("\"1.1\"", "true", Utf8(u8"\"修复：连点\"")), true, true, false,
                    "1.1", "修复：连点", "true"},
        // Characters that code page 936 cannot hold read as its default character.
        ReadingCase{"emoji_in_notes", Manifest("\"1.1\"", "true", Utf8(u8"\"新😀\"")), true, true, false, "1.1",
                    "新??", "true"},
        ReadingCase{"invalid_utf8_in_notes", Manifest("\"1.1\"", "true", "\"a\xFF" "b\xC3\""), true, true, false,
                    "1.1", "a?b?", "true"},
        ReadingCase{"long_version", Manifest("\"" + kLongVersion + "\""), true, true, false, kLongVersion, "n",
                    "true"},
        ReadingCase{"megabyte_manifest",
                    "{\"pad\":\"" + Text(1024 * 1024, 'x') + "\",\"Click\":{\"version\":\"1.0\",\"Support\":true}}",
                    true, true, false, "1.0", "", "true"}),
    CaseName());

// The payload creates a marker file when it runs. Hostile manifests carry it
// in every place where a careless reader would run it.
class HostileManifest : public testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
    marker_ = Text(temp) + "manifest_marker_" + IntToText(static_cast<std::int32_t>(GetCurrentProcessId())) + ".txt";
    DeleteFileA(marker_.c_str());
  }
  void TearDown() override { DeleteFileA(marker_.c_str()); }
  [[nodiscard]] bool MarkerExists() const { return GetFileAttributesA(marker_.c_str()) != INVALID_FILE_ATTRIBUTES; }
  // The statement, with forward slashes that need no escaping in a string.
  [[nodiscard]] Text Payload() const {
    Text path = marker_;
    for (char& c : path) {
      if (c == '\\') c = '/';
    }
    return "new ActiveXObject('Scripting.FileSystemObject').CreateTextFile('" + path + "').Close()";
  }

  Text marker_;
};

TEST_F(HostileManifest, PayloadRunsWhenEvaluated) {
  ComApartment apartment;
  ComPtr<IDispatch> engine;
  ASSERT_EQ(CreateObjectByProgId(L"MSScriptControl.ScriptControl", engine), S_OK);
  ASSERT_EQ(PutProperty(engine.get(), L"Language", AnsiVariant("JavaScript")), S_OK);
  const UniqueVariant code = AnsiVariant(Payload());
  (void)CallMethod(engine.get(), L"Eval", {&code}, nullptr);
  EXPECT_TRUE(MarkerExists()) << "the payload itself is broken";
}

TEST_F(HostileManifest, NothingInItRuns) {
  const Text p = Payload();
  const Text manifests[] = {
      p,
      Manifest("\"1.0\"") + ";" + p,
      "{\"Click\":{\"version\":(function(){" + p + ";return '1.0'})(),\"Support\":true}}",
      Manifest("\"1.0\\\"+(function(){" + p + "})()+\\\"\"", "\"true');" + p + ";('\"",
               "\"\\u0022);" + p + ";//\""),
      "{\"Click\":{\"version\":\"1.0\",\"Support\":true},\"x']=0;" + p + ";//\":1,\"__proto__\":{\"version\":\"" + p +
          "\"}}",
  };
  const Text path = OwnPath("hostile");
  ServedFile served(path, "");
  for (const Text& contents : manifests) {
    SCOPED_TRACE(contents);
    ASSERT_TRUE(served.Replace(contents));
    VersionManifest manifest(version_service::Url(path));
    ASSERT_TRUE(manifest.answered());
    for (const char* member : {"version", "update", "download", "Support"}) (void)manifest.Read(ProductKey, member);
    EXPECT_FALSE(MarkerExists());
  }
}

// Runs a call on a thread of its own, as the program runs its checks, and
// answers what it shows.
class BackgroundCall {
 public:
  explicit BackgroundCall(std::function<void()> call) : call_(std::move(call)) {
    thread_.reset(CreateThread(nullptr, 0, &Run, this, 0, nullptr));
  }
  // A call stuck behind a box of a failed test is answered until it returns.
  ~BackgroundCall() {
    while (thread_ && WaitForSingleObject(thread_.get(), 100) == WAIT_TIMEOUT) {
      if (HWND box = NextBox(0)) PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
    }
  }
  BackgroundCall(const BackgroundCall&) = delete;
  BackgroundCall& operator=(const BackgroundCall&) = delete;

  [[nodiscard]] bool started() const noexcept { return thread_.valid(); }
  [[nodiscard]] bool Finished(DWORD timeoutMs) const { return WaitForSingleObject(thread_.get(), timeoutMs) == WAIT_OBJECT_0; }
  // The next box the call shows; null when none appears in time.
  [[nodiscard]] static HWND NextBox(DWORD timeoutMs) {
    HWND box = nullptr;
    (void)WaitUntil(timeoutMs, [&] { return (box = FindTopWindowOf(GetCurrentProcessId(), "#32770")) != nullptr; });
    return box;
  }

 private:
  static DWORD WINAPI Run(void* self) noexcept {
    static_cast<BackgroundCall*>(self)->call_();
    return 0;
  }

  std::function<void()> call_;
  UniqueHandle thread_;
};

struct ExpectedBox {
  MessageBoxContents contents;
  Text press;
};

const std::vector<Text> kOk = {"确定"};
const std::vector<Text> kOkCancel = {"确定", "取消"};

ExpectedBox UpToDate() { return {{"版本检测", "当前使用的版本已经是最新版本(1.0)", kOk}, "确定"}; }
ExpectedBox ReadError() { return {{"版本检测", "JSON获取错误，当前版本：1.0", kOk}, "确定"}; }
// Answered with Cancel: what OK starts is the update download's business.
ExpectedBox Prompt(const Text& version) {
  return {{"版本检测", "新的程序版本" + version + "已经发布:\r\n更新内容:n\r\n是否更新？", kOkCancel}, "取消"};
}

// Each box the call shows, in order, and nothing after them.
void ExpectBoxes(BackgroundCall& call, const std::vector<ExpectedBox>& boxes) {
  ASSERT_TRUE(call.started());
  for (const ExpectedBox& expected : boxes) {
    HWND box = BackgroundCall::NextBox(30000);
    ASSERT_NE(box, nullptr) << "no box";
    EXPECT_EQ(ReadMessageBox(box), expected.contents);
    ASSERT_TRUE(PressMessageBoxButton(box, expected.press));
    ASSERT_TRUE(WaitUntil(10000, [&] { return !IsWindowVisible(box); }));
  }
  ASSERT_TRUE(call.Finished(30000)) << "the check shows another box or hangs";
  EXPECT_EQ(BackgroundCall::NextBox(0), nullptr);
}

struct UpdateCase {
  std::string name;
  std::optional<Text> contents;  // nullopt: no answer
  bool silent;
  std::vector<ExpectedBox> boxes;
};

class UpdateCheck : public testing::TestWithParam<UpdateCase> {};

TEST_P(UpdateCheck, ShowsWhatTheManifestCallsFor) {
  const UpdateCase& c = GetParam();
  const OwnManifest served(c.name, c.contents);
  ASSERT_TRUE(served.served());
  const Text address = served.address();
  BackgroundCall call([&] { CheckForUpdate(ProductKey, "1.0", nullptr, c.silent, address); });
  ExpectBoxes(call, c.boxes);
}

INSTANTIATE_TEST_SUITE_P(
    Manifests, UpdateCheck,
    testing::Values(UpdateCase{"same_version_silent", Manifest("\"1.0\""), true, {}},
                    UpdateCase{"same_version_asked", Manifest("\"1.0\""), false, {UpToDate()}},
                    UpdateCase{"older_version_silent_still_prompts", Manifest("\"0.9\""), true,
                               {Prompt("0.9")}},
                    UpdateCase{"number_version", Manifest("1.0"), false, {Prompt("1")}},
                    UpdateCase{"no_answer_silent", std::nullopt, true, {}},
                    UpdateCase{"no_answer_asked", std::nullopt, false, {ReadError()}},
                    UpdateCase{"empty_body_silent", "", true, {}},
                    UpdateCase{"empty_body_asked", "", false, {ReadError()}},
                    UpdateCase{"not_json_silent", "<html>", true, {ReadError()}},
                    UpdateCase{"not_json_asked", "<html>", false, {ReadError()}},
                    UpdateCase{"null_silent", "null", true, {}},
                    UpdateCase{"no_version_asked", "{\"Click\":{\"Support\":true}}", false, {ReadError()}}),
    CaseName());

// Only the ending paths end the process; those are shown by the tests of the
// whole program.
TEST(SupportCheck, ExactlyTrueGoesOnWithoutAWord) {
  for (const Text& support : {Text("true"), Text("\"true\"")}) {
    SCOPED_TRACE(support);
    const OwnManifest served("supported", Manifest("\"1.0\"", support));
    ASSERT_TRUE(served.served());
    const Text address = served.address();
    BackgroundCall call([&] { CheckSupported(ProductKey, nullptr, address); });
    ExpectBoxes(call, {});
  }
}

TEST(ManifestAddress, IsThePublishedPathOnTheBuiltInHost) {
  EXPECT_EQ(VersionManifestAddress(), version_service::Url("/Soft/VER/SVERS.json"));
}

}  // namespace
