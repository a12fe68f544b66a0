// The whole update as the user meets it, in a program that runs the update
// check as ours does (tests/tools/update_host.cpp, copied as 飞梭助手.exe into
// a folder of its own): the prompt, the download from a server of ours, the
// signature check with the build's key, the finish prompt and the
// replacement by Up.bat; then every way a download can fail, and Cancel.
#include <gtest/gtest.h>

#include <windows.h>

#include <cctype>
#include <memory>
#include <optional>
#include <vector>

#include "tests/case_name.h"
#include "tests/e2e/message_box_reader.h"
#include "tests/e2e/program_under_test.h"
#include "tests/e2e/version_service.h"
#include "tests/update/download_server.h"

namespace {

constexpr const char* kExe = "飞梭助手.exe";
const std::vector<Text> kOk = {"确定"};
const std::vector<Text> kOkCancel = {"确定", "取消"};
const MessageBoxContents kPrompt = {"版本检测", "新的程序版本1.1已经发布:\r\n更新内容:fixes\r\n是否更新？", kOkCancel};
const MessageBoxContents kRunning = {"版本检测", "正在后台下载更新,请勿关闭程序", kOk};
const MessageBoxContents kFailed = {"版本检测", "更新下载失败,请稍后重试", kOk};
const MessageBoxContents kFinished = {"版本检测", "下载已经完成,按确认删除自身(新版本文件已放在目录下)", kOkCancel};

std::optional<Text> ReadWhole(const Text& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  Text contents;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) contents.append(buffer, read);
  CloseHandle(file);
  return contents;
}

// The build's payload and its signature, made with the build's key.
const Text& Payload() {
  static const Text payload = ReadWhole(WindowsPathOf(UPDATE_PAYLOAD_EXE)).value_or("");
  return payload;
}
const Text& PayloadSignature() {
  static const Text signature = [] {
    Text text = ReadWhole(WindowsPathOf(UPDATE_PAYLOAD_SIGNATURE)).value_or("");
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
  }();
  return signature;
}

// Query values as the server reads them.
Text Escaped(const Text& value) {
  static const char* kHex = "0123456789ABCDEF";
  Text escaped;
  for (unsigned char c : value) {
    if (std::isalnum(c) || c == '-' || c == '.' || c == '_') {
      escaped += static_cast<char>(c);
    } else {
      escaped += '%';
      escaped += kHex[c >> 4];
      escaped += kHex[c & 15];
    }
  }
  return escaped;
}

struct BoxFinder {
  DWORD processId;
  Text text;
  HWND found = nullptr;
};

BOOL CALLBACK FindBox(HWND window, LPARAM parameter) {
  auto* finder = reinterpret_cast<BoxFinder*>(parameter);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId == finder->processId && IsWindowVisible(window) && WindowClass(window) == "#32770" &&
      ReadMessageBox(window).text == finder->text) {
    finder->found = window;
    return FALSE;
  }
  return TRUE;
}

// Tells the server (a Linux process, which inherits our environment) where
// the payload is.
struct ServerFolder {
  ServerFolder() { SetEnvironmentVariableA("UPDATE_SERVER_FOLDER", UPDATE_SERVER_FOLDER); }
};

class UpdateFlowTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.started());
    ASSERT_FALSE(Payload().empty());
    program_ = std::make_unique<ProgramUnderTest>(sourceExe_, kExe);
    ASSERT_EQ(PayloadSignature().size(), 128u);
    const Text body = server_.BodyUrl("");
    base_ = body.substr(0, body.find("/body?"));
  }

  Text PayloadUrl(const Text& options = {}) const { return base_ + "/body?file=update_payload.exe" + options; }

  // Starts the program with a manifest that offers version 1.1 at address.
  void Launch(const Text& address, const std::optional<Text>& signature) {
    Text manifest = base_ + "/manifest?version=1.1&download=" + Escaped(address);
    if (signature) manifest += "&signature=" + Escaped(*signature);
    ASSERT_TRUE(program_->Start(manifest));
  }

  // The program shows this box (among any others); it is answered.
  void Answer(const MessageBoxContents& expected, const Text& press = "确定") {
    BoxFinder finder{program_->processId(), expected.text};
    ASSERT_TRUE(WaitUntil(30000, [&] {
      finder.found = nullptr;
      EnumWindows(FindBox, reinterpret_cast<LPARAM>(&finder));
      return finder.found != nullptr;
    })) << "no box: " << expected.text;
    EXPECT_EQ(ReadMessageBox(finder.found), expected);
    ASSERT_TRUE(PressMessageBoxButton(finder.found, press));
    ASSERT_TRUE(WaitUntil(10000, [&] { return !IsWindow(finder.found) || !IsWindowVisible(finder.found); }));
  }

  // Accepts the update; a download was started and said so.
  void AcceptAndRun(const Text& address, const std::optional<Text>& signature) {
    ASSERT_NO_FATAL_FAILURE(Launch(address, signature));
    ASSERT_NO_FATAL_FAILURE(Answer(kPrompt));
    ASSERT_NO_FATAL_FAILURE(Answer(kRunning));
  }

  // OK at the finish prompt: the program ends in order and Up.bat puts the
  // new version in its place, under its name, and starts it.
  void ExpectReplacedAfterOk() {
    ASSERT_NO_FATAL_FAILURE(Answer(kFinished));
    EXPECT_EQ(program_->WaitForExit(20000), 0u) << "no orderly end with exit code 0";
    // The new version writes its name into started.txt; the script deletes itself.
    EXPECT_TRUE(WaitUntil(30000, [&] { return program_->ReadFile("started.txt") == Text(kExe); }))
        << "the new version did not start under the program's name";
    EXPECT_TRUE(WaitUntil(20000, [&] { return !program_->FileExists("Up.bat"); })) << "Up.bat stayed";
    EXPECT_EQ(program_->ReadFile(kExe), Payload());
    EXPECT_FALSE(program_->FileExists("Update.file"));
  }

  void ExpectProgramUntouchedAndRunning() {
    EXPECT_EQ(program_->WaitForExit(300), std::nullopt) << "the program ended";
    EXPECT_EQ(program_->ReadFile(kExe), ReadWhole(sourceExe_));
    EXPECT_FALSE(program_->FileExists("Up.bat"));
    EXPECT_FALSE(program_->FileExists("started.txt"));
  }

  ServerFolder serverFolder_;
  update_test::DownloadServer server_;
  Text base_;
  // The program to update; a derived fixture may name another before SetUp.
  Text sourceExe_ = WindowsPathOf(UPDATE_HOST_EXE);
  std::unique_ptr<ProgramUnderTest> program_;
};

// The same update in the real program, which asks the version service of the
// test run at start-up.
class RealProgramUpdateTest : public UpdateFlowTest {
 protected:
  RealProgramUpdateTest() { version_service::RestoreDefaults(); }
  ~RealProgramUpdateTest() override { version_service::RestoreDefaults(); }

  void SetUp() override {
    sourceExe_ = WindowsPathOf(APP_EXE);
    UpdateFlowTest::SetUp();
  }
};

TEST_F(RealProgramUpdateTest, WholeUpdateReplacesTheProgramAndStartsTheNewVersion) {
  const Text manifest = "{\"Click\":{\"version\":\"1.1\",\"update\":\"fixes\",\"download\":\"" + PayloadUrl() +
                        "\",\"signature\":\"" + PayloadSignature() + "\",\"Support\":true}}";
  ServedFile served(version_service::kManifestPath, manifest);
  ASSERT_TRUE(served.written());
  ASSERT_TRUE(program_->Start());
  ASSERT_NO_FATAL_FAILURE(Answer(kPrompt));
  ASSERT_NO_FATAL_FAILURE(Answer(kRunning));
  ASSERT_NO_FATAL_FAILURE(ExpectReplacedAfterOk());
}

TEST_F(UpdateFlowTest, ReplacesTheProgramUnderItsOwnNameAndStartsTheNewVersion) {
  // Left from an earlier attempt: both are replaced, not appended to.
  ASSERT_TRUE(program_->WriteFile("Update.file", Text(100000, 'x')));
  ASSERT_TRUE(program_->WriteFile("Up.bat", "exit\r\nexit\r\nexit\r\n"));
  ASSERT_NO_FATAL_FAILURE(AcceptAndRun(PayloadUrl(), PayloadSignature()));
  ASSERT_NO_FATAL_FAILURE(ExpectReplacedAfterOk());
}

TEST_F(UpdateFlowTest, CancelAtTheFinishKeepsTheVerifiedFileAndTheProgram) {
  ASSERT_NO_FATAL_FAILURE(AcceptAndRun(PayloadUrl(), PayloadSignature()));
  ASSERT_NO_FATAL_FAILURE(Answer(kFinished, "取消"));
  EXPECT_EQ(program_->ReadFile("Update.file"), Payload());
  ExpectProgramUntouchedAndRunning();
}

struct FailureCase {
  const char* name;
  Text options;      // of the payload address
  Text signature;    // "-" for none
  const char* address = nullptr;  // instead of the payload's
};

Text WithLastDigit(const Text& signature, char digit) {
  Text changed = signature;
  if (!changed.empty()) changed.back() = changed.back() == digit ? '0' : digit;
  return changed;
}

class UpdateFailureTest : public UpdateFlowTest, public testing::WithParamInterface<FailureCase> {};

// A download that fails leaves no Update.file, shows no finish prompt and
// says so; the program runs on untouched.
TEST_P(UpdateFailureTest, TellsTheUserAndLeavesNothingBehind) {
  const FailureCase& c = GetParam();
  ASSERT_TRUE(program_->WriteFile("Update.file", "from an earlier attempt"));
  Text signature = c.signature == "-" ? Text() : c.signature;
  if (c.signature == "valid") signature = PayloadSignature();
  if (c.signature == "other") signature = WithLastDigit(PayloadSignature(), '1');
  if (c.signature == "127") signature = PayloadSignature().substr(0, 127);
  if (c.signature == "129") signature = PayloadSignature() + "0";
  if (c.signature == "nothex") signature = WithLastDigit(PayloadSignature(), 'z');
  const std::optional<Text> given = c.signature == "-" ? std::nullopt : std::optional<Text>(signature);
  const Text address = c.address ? Text(c.address) : PayloadUrl(c.options);

  const bool webAddress = address.starts_with("http");
  if (webAddress) {
    ASSERT_NO_FATAL_FAILURE(AcceptAndRun(address, given));
  } else {
    ASSERT_NO_FATAL_FAILURE(Launch(address, given));
    ASSERT_NO_FATAL_FAILURE(Answer(kPrompt));
  }
  ASSERT_NO_FATAL_FAILURE(Answer(kFailed));
  EXPECT_TRUE(WaitUntil(3000, [&] { return !program_->FileExists("Update.file"); })) << "Update.file stayed";
  ExpectProgramUntouchedAndRunning();
}

INSTANTIATE_TEST_SUITE_P(
    Downloads, UpdateFailureTest,
    testing::Values(FailureCase{"empty_address", "", "valid", ""},
                    FailureCase{"not_http", "", "valid", "ftp://127.0.0.1/new.exe"},
                    FailureCase{"closed_port", "", "valid", "http://127.0.0.1:9/new.exe"},
                    FailureCase{"not_found_page", "&status=404", "valid"},
                    FailureCase{"body_cut_short", "&cut=1000", "valid"},
                    FailureCase{"empty_body", "&cut=0", "valid"},
                    FailureCase{"no_signature", "", "-"},
                    FailureCase{"empty_signature", "", ""},
                    FailureCase{"127_digits", "", "127"},
                    FailureCase{"129_digits", "", "129"},
                    FailureCase{"not_hex", "", "nothex"},
                    FailureCase{"wrong_signature", "", "other"}),
    CaseName());

}  // namespace
