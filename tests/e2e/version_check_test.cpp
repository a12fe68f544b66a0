// The real program against the version service of the test run: the two
// checks at start-up and the check-for-update button, for the manifests that
// a publisher may serve, for bad ones, and for no service at all. Messages are
// read from outside, and the service's log tells what the program asked.
#include <commctrl.h>

#include <vector>

#include "tests/case_name.h"
#include "tests/e2e/main_window_fixture.h"
#include "tests/e2e/message_box_reader.h"
#include "tests/e2e/version_service.h"

namespace {

using version_service::kManifestPath;

// Manifests are UTF-8 whatever the code page of our literals.
Text Utf8(const char8_t* text) { return Text(reinterpret_cast<const char*>(text)); }

const Text kNotes = Utf8(u8"\"修复了若干问题\"");

// A manifest in the service's usual shape; version, support and notes are
// JSON values.
Text Manifest(const Text& version, const Text& support = "true", const Text& notes = kNotes) {
  return "{\"Click\":{\"version\":" + version + ",\"update\":" + notes +
         ",\"download\":\"http://127.0.0.1:9/new.exe\",\"Support\":" + support + "}}";
}

const std::vector<Text> kOk = {"确定"};
const std::vector<Text> kOkCancel = {"确定", "取消"};

struct ExpectedBox {
  MessageBoxContents contents;
  Text press;
};

ExpectedBox UpToDate() { return {{"版本检测", "当前使用的版本已经是最新版本(1.0)", kOk}, "确定"}; }
ExpectedBox ReadError() { return {{"版本检测", "JSON获取错误，当前版本：1.0", kOk}, "确定"}; }
ExpectedBox EndOfSupport() { return {{"信息：", "程序停止支持或维护中,即将退出程序", kOk}, "确定"}; }
// Answered with Cancel: what OK starts is the update download's business.
ExpectedBox Prompt(const Text& version, const Text& notes = "修复了若干问题") {
  return {{"版本检测", "新的程序版本" + version + "已经发布:\r\n更新内容:" + notes + "\r\n是否更新？", kOkCancel}, "取消"};
}

// The header block of a request with nothing but the URL given, in its order.
const std::vector<Text> kDefaultHeaders = {
    "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)",
    "Accept: text/html, application/xhtml+xml, */*",
    "Accept-Encoding: identity",
    "Accept-Language: zh-cn",
    "Cache-Control: no-cache",
};

class VersionCheckTest : public MainWindowTest {
 protected:
  // The next box of the program is this one; it is answered.
  void Answer(const ExpectedBox& expected) {
    HWND box = WaitForMessageBox(30000);
    ASSERT_NE(box, nullptr) << "no box; expected " << testing::PrintToString(expected.contents);
    EXPECT_EQ(ReadMessageBox(box), expected.contents);
    ASSERT_TRUE(PressMessageBoxButton(box, expected.press));
    ASSERT_TRUE(WaitUntil(10000, [&] { return !IsWindowVisible(box); })) << "the box stays";
  }
  void AnswerAll(const std::vector<ExpectedBox>& boxes) {
    for (const ExpectedBox& box : boxes) ASSERT_NO_FATAL_FAILURE(Answer(box));
  }

  // Both start-up checks have asked, and their answers came and went
  // without a box.
  void ExpectQuietStartupChecks() {
    ASSERT_TRUE(log_.WaitFor(kManifestPath, 2, 30000)) << "the start-up checks did not ask";
    EXPECT_EQ(WaitForMessageBox(1500), nullptr);
  }

  // The program runs, and its window answers and works.
  void ExpectUsableWindow() {
    ASSERT_EQ(program_.WaitForExit(0), std::nullopt) << "the program ended";
    SetTextOf("编辑框_设置点击次数", "");
    Click("按钮_下一步按钮14");  // 十万次
    EXPECT_EQ(TextOf("编辑框_设置点击次数"), "100000");
  }

  // A press of "检测更新" on the about page; its check runs in the background.
  void PressCheckButton() {
    SendMessageA(Find("选择夹EX1"), TCM_SETCURSEL, 3, 0);
    Click("按钮_下一步按钮17");
  }

  // One check by the button: its request, its boxes and nothing after them.
  // The last check may still be ending (its box takes a moment to go), and a
  // press meanwhile does nothing: the button is pressed until it asks.
  void CheckByButton(const std::vector<ExpectedBox>& boxes) {
    const std::size_t before = log_.RequestsFor(kManifestPath).size();
    ASSERT_TRUE(WaitUntil(30000, [&] {
      PressCheckButton();
      return log_.WaitFor(kManifestPath, before + 1, 1000);
    })) << "the button did not ask";
    ASSERT_NO_FATAL_FAILURE(AnswerAll(boxes));
    EXPECT_EQ(WaitForMessageBox(boxes.empty() ? 1500 : 500), nullptr);
    EXPECT_EQ(log_.RequestsFor(kManifestPath).size(), before + 1);
  }

  // One running program checks each manifest by its button.
  struct ButtonCase {
    const char* name;
    Text manifest;
    ExpectedBox box;
  };
  void CheckEachByButton(const std::vector<ButtonCase>& cases) {
    ASSERT_NO_FATAL_FAILURE(Launch());
    ASSERT_NO_FATAL_FAILURE(ExpectQuietStartupChecks());
    ServedFile served(kManifestPath, "");
    for (const ButtonCase& c : cases) {
      SCOPED_TRACE(c.name);
      ASSERT_TRUE(served.Replace(c.manifest));
      ASSERT_NO_FATAL_FAILURE(CheckByButton({c.box}));
    }
    ASSERT_NO_FATAL_FAILURE(ExpectUsableWindow());
  }

  // Answers the start-up boxes, the last of which ends the program.
  void ExpectEndAfter(const std::vector<ExpectedBox>& boxes) {
    ASSERT_TRUE(program_.Start());
    ASSERT_NO_FATAL_FAILURE(AnswerAll(boxes));
    EXPECT_EQ(program_.WaitForExit(20000), 0u);
    EXPECT_EQ(log_.RequestsFor(kManifestPath).size(), 2u);
  }

  version_service::RequestLog log_;
};

TEST_F(VersionCheckTest, SameVersionIsQuietAtStartAndReportedByTheButton) {
  ASSERT_NO_FATAL_FAILURE(Launch());
  ASSERT_NO_FATAL_FAILURE(ExpectQuietStartupChecks());
  const auto requests = log_.RequestsFor(kManifestPath);
  ASSERT_EQ(requests.size(), 2u);
  for (const auto& request : requests) {
    EXPECT_EQ(request.requestLine, Text("GET ") + kManifestPath + " HTTP/1.1");
    std::vector<Text> ours;
    for (const Text& header : request.headers) {
      if (header.rfind("Host: ", 0) == 0) {
        EXPECT_EQ(header, "Host: " + version_service::Url("").substr(7));
      } else if (header.rfind("Connection: ", 0) != 0) {  // WinHTTP's own
        ours.push_back(header);
      }
    }
    EXPECT_EQ(ours, kDefaultHeaders);
  }
  ASSERT_NO_FATAL_FAILURE(CheckByButton({UpToDate()}));
  ASSERT_NO_FATAL_FAILURE(ExpectUsableWindow());
  Close();
}

// The button's check runs beside the window: the window answers while it
// runs, its box disables the window until it is answered, and a second press
// meanwhile does nothing.
TEST_F(VersionCheckTest, ButtonCheckLeavesTheWindowResponsiveAndRunsOnce) {
  ASSERT_NO_FATAL_FAILURE(Launch());
  ASSERT_NO_FATAL_FAILURE(ExpectQuietStartupChecks());
  PressCheckButton();
  Click("按钮_下一步按钮17");
  HWND box = WaitForMessageBox(30000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(GetWindow(box, GW_OWNER), frame_);
  EXPECT_FALSE(IsWindowEnabled(frame_));
  DWORD_PTR ignored = 0;
  EXPECT_NE(SendMessageTimeoutA(frame_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored), 0);
  EXPECT_EQ(ReadMessageBox(box), UpToDate().contents);
  ASSERT_TRUE(PressMessageBoxButton(box, "确定"));
  ASSERT_TRUE(WaitUntil(10000, [&] { return !IsWindowVisible(box); }));
  EXPECT_EQ(WaitForMessageBox(1500), nullptr) << "a second check ran";
  EXPECT_TRUE(WaitUntil(10000, [&] { return IsWindowEnabled(frame_) != FALSE; }));
  EXPECT_EQ(log_.RequestsFor(kManifestPath).size(), 3u);
  // Once it has ended, the button checks again.
  ASSERT_NO_FATAL_FAILURE(CheckByButton({UpToDate()}));
  Close();
}

struct OtherVersionCase {
  std::string name;
  Text version;  // as JSON
  Text shown;    // as the prompt shows it
};

class OtherVersionTest : public VersionCheckTest, public testing::WithParamInterface<OtherVersionCase> {};

// Versions are compared byte for byte, not ordered: any other one is offered,
// at start-up too, and declining it leaves the program running.
TEST_P(OtherVersionTest, IsOfferedAtStart) {
  const OtherVersionCase& c = GetParam();
  ServedFile served(kManifestPath, Manifest(c.version));
  ASSERT_TRUE(served.written());
  ASSERT_NO_FATAL_FAILURE(Launch());
  ASSERT_NO_FATAL_FAILURE(Answer(Prompt(c.shown)));
  ASSERT_TRUE(log_.WaitFor(kManifestPath, 2, 30000));
  EXPECT_EQ(WaitForMessageBox(1500), nullptr);
  ASSERT_NO_FATAL_FAILURE(ExpectUsableWindow());
  Close();
}

INSTANTIATE_TEST_SUITE_P(Versions, OtherVersionTest,
                         testing::Values(OtherVersionCase{"older", "\"0.9\"", "0.9"},
                                         OtherVersionCase{"trailing_zero", "\"1.00\"", "1.00"},
                                         OtherVersionCase{"trailing_blank", "\"1.0 \"", "1.0 "},
                                         OtherVersionCase{"number", "1.0", "1"}),
                         CaseName());

TEST_F(VersionCheckTest, CancelledUpdateStillChecksSupport) {
  ServedFile served(kManifestPath, Manifest("\"0.9\"", "false"));
  ASSERT_TRUE(served.written());
  ExpectEndAfter({Prompt("0.9"), EndOfSupport()});
}

TEST_F(VersionCheckTest, SupportAsStringRunsOn) {
  ServedFile served(kManifestPath, Manifest("\"1.0\"", "\"true\""));
  ASSERT_TRUE(served.written());
  ASSERT_NO_FATAL_FAILURE(Launch());
  ASSERT_NO_FATAL_FAILURE(ExpectQuietStartupChecks());
  ASSERT_NO_FATAL_FAILURE(ExpectUsableWindow());
  Close();
}

struct EndCase {
  std::string name;
  std::optional<Text> manifest;  // nullopt: no service at all
};

class EndOfSupportTest : public VersionCheckTest, public testing::WithParamInterface<EndCase> {};

// Anything but exactly true ends the program after its message, with exit
// code 0; so does a service that does not answer, after a quiet update check.
TEST_P(EndOfSupportTest, EndsTheProgramInOrder) {
  const EndCase& c = GetParam();
  ServedFile served(kManifestPath, c.manifest.value_or(Manifest("\"1.0\"")));
  ASSERT_TRUE(served.written());
  std::optional<SilentService> silence;
  if (!c.manifest) silence.emplace(kManifestPath);
  ExpectEndAfter({EndOfSupport()});
}

INSTANTIATE_TEST_SUITE_P(Flags, EndOfSupportTest,
                         testing::Values(EndCase{"capital_true", Manifest("\"1.0\"", "\"True\"")},
                                         EndCase{"one", Manifest("\"1.0\"", "1")},
                                         EndCase{"false", Manifest("\"1.0\"", "false")},
                                         EndCase{"missing", "{\"Click\":{\"version\":\"1.0\"}}"},
                                         EndCase{"no_service", std::nullopt}),
                         CaseName());

TEST_F(VersionCheckTest, UnreadableManifestAtStartIsReportedThenEnds) {
  ServedFile served(kManifestPath, "<html><body>502 Bad Gateway</body></html>");
  ASSERT_TRUE(served.written());
  ExpectEndAfter({ReadError(), EndOfSupport()});
}

// Whatever the service says, the button only ever reports.
TEST_F(VersionCheckTest, ButtonNeverEndsTheProgram) {
  ASSERT_NO_FATAL_FAILURE(Launch());
  ASSERT_NO_FATAL_FAILURE(ExpectQuietStartupChecks());
  ServedFile served(kManifestPath, Manifest("\"1.0\"", "false"));
  ASSERT_TRUE(served.written());
  ASSERT_NO_FATAL_FAILURE(CheckByButton({UpToDate()}));
  ASSERT_TRUE(served.Replace("{\"Click\":{\"version\":\"0.9\"}}"));
  ASSERT_NO_FATAL_FAILURE(CheckByButton({Prompt("0.9", "")}));
  ASSERT_TRUE(served.Replace("not json"));
  ASSERT_NO_FATAL_FAILURE(CheckByButton({ReadError()}));
  {
    SilentService silence(kManifestPath);
    ASSERT_NO_FATAL_FAILURE(CheckByButton({ReadError()}));
  }
  ASSERT_NO_FATAL_FAILURE(ExpectUsableWindow());
  Close();
}

// Manifests that no publisher means to serve, each checked by the button of
// one running program: the checks' messages, no crash, a usable window.
TEST_F(VersionCheckTest, BadManifestsGiveTheirMessagesOnly) {
  const Text longVersion(300, '7');
  const std::vector<ButtonCase> cases = {
      {"empty", "", ReadError()},
      {"not JSON", "Click=1.0", ReadError()},
      {"top-level null", "null", ReadError()},
      {"array", Text("[") + Manifest("\"1.0\"") + "]", ReadError()},
      {"product is a string", "{\"Click\":\"1.0\"}", ReadError()},
      {"1 MB", "{\"pad\":\"" + Text(1024 * 1024, ' ') + "\"," + Manifest("\"1.0\"").substr(1), UpToDate()},
      {"byte order mark", Text("\xEF\xBB\xBF") + Manifest("\"1.0\""), UpToDate()},
      {"invalid UTF-8", Manifest("\"1.1\"", "true", "\"a\xFF" "b\xC3\""), Prompt("1.1", "a?b?")},
      {"emoji", Manifest("\"1.1\"", "true", Utf8(u8"\"新😀\"")), Prompt("1.1", "新??")},
      {"300-character version", Manifest("\"" + longVersion + "\""), Prompt(longVersion)},
  };
  ASSERT_NO_FATAL_FAILURE(CheckEachByButton(cases));
  Close();
}

// Manifests that would run script if the program evaluated what it reads:
// each creates a marker file beside the program when it runs.
TEST_F(VersionCheckTest, HostileManifestsRunNothing) {
  Text marker = program_.PathOf("marker.txt");
  for (char& c : marker) {
    if (c == '\\') c = '/';
  }
  const Text p = "new ActiveXObject('Scripting.FileSystemObject').CreateTextFile('" + marker + "').Close()";
  const std::vector<ButtonCase> cases = {
      {"script", p, ReadError()},
      {"statement after the document", Manifest("\"1.0\"") + ";" + p, ReadError()},
      {"function call as the version", Manifest("(function(){" + p + ";return '1.0'})()"), ReadError()},
      {"string concatenation", Manifest("\"1.0\"+(function(){" + p + "})()"), ReadError()},
      {"quotes in strings", Manifest("\"1.0\"", "true", "\"');" + p + ";('\""), UpToDate()},
      {"escaped quote in the version", Manifest("\"\\u0022);" + p + ";//\""),
       Prompt("\");" + p + ";//")},
      {"member names", "{\"x']=0;" + p + ";//\":1," + Manifest("\"1.0\"").substr(1), UpToDate()},
  };
  ASSERT_NO_FATAL_FAILURE(CheckEachByButton(cases));
  EXPECT_FALSE(program_.FileExists("marker.txt"));
  Close();
}

}  // namespace
