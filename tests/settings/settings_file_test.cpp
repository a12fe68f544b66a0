// config.ini beside the running executable, read through the profile functions.
#include <gtest/gtest.h>

#include "common/exe_files.h"
#include "common/handles.h"
#include "settings/settings_file.h"
#include "tests/case_name.h"

namespace {

class SettingsFileTest : public testing::Test {
 protected:
  void SetUp() override { DeleteFileA(SettingsPath().c_str()); }
  void TearDown() override { DeleteFileA(SettingsPath().c_str()); }
  static void WriteConfig(const Text& contents) {
    ASSERT_TRUE(runtime::WriteWholeFile(SettingsPath(), TextBytes(contents)));
  }
  static bool ConfigExists() { return GetFileAttributesA(SettingsPath().c_str()) != INVALID_FILE_ATTRIBUTES; }
};

TEST_F(SettingsFileTest, PathIsBesideTheExecutable) {
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  Text expected(exe);
  expected = expected.substr(0, expected.find_last_of('\\')) + "\\config.ini";
  EXPECT_EQ(SettingsPath(), expected);
}

TEST_F(SettingsFileTest, MissingFileGivesDefaultsAndCreatesNothing) {
  EXPECT_EQ(ReadSetting("设置", "点击间隔", "1000"), "1000");
  EXPECT_EQ(ReadSetting("快捷键", "操作热键", "113"), "113");
  EXPECT_FALSE(ConfigExists());
}

TEST_F(SettingsFileTest, WriteThenReadKeepsValuesAsTyped) {
  WriteSetting("设置", "点击间隔", "１０");
  WriteSetting("设置", "X坐标", " -1");
  EXPECT_EQ(ReadSetting("设置", "点击间隔", "1000"), "１０");
  EXPECT_EQ(TextToInt(ReadSetting("设置", "点击间隔", "1000")), 10);
  // The profile functions drop the blanks around a value.
  EXPECT_EQ(ReadSetting("设置", "X坐标", "-1"), "-1");
}

TEST_F(SettingsFileTest, KeysAreWrittenInOrderInCodePage936) {
  WriteSetting("设置", "点击间隔", "1000");
  WriteSetting("设置", "点击次数", "100000");
  WriteSetting("设置", "按键", "0");
  WriteSetting("设置", "X坐标", "-1");
  WriteSetting("设置", "Y坐标", "-1");
  UniqueFile file(CreateFileA(SettingsPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(file.valid());
  char buffer[512] = {};
  DWORD read = 0;
  ASSERT_TRUE(ReadFile(file.get(), buffer, sizeof buffer - 1, &read, nullptr));
  EXPECT_EQ(Text(buffer, read),
            "[设置]\r\n点击间隔=1000\r\n点击次数=100000\r\n按键=0\r\nX坐标=-1\r\nY坐标=-1\r\n");
}

struct ReadCase {
  const char* name;
  Text section;
  Text key;
  Text expected;
};

class ReadSettingTest : public SettingsFileTest, public testing::WithParamInterface<ReadCase> {};

TEST_P(ReadSettingTest, Reads) {
  WriteConfig("[设置]\r\n点击间隔=250\r\n点击次数=\r\n按键=\"2\"\r\n[快捷键]\r\n操作热键=116\r\n");
  EXPECT_EQ(ReadSetting(GetParam().section, GetParam().key, "默认"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadSettingTest,
    testing::Values(ReadCase{"present", "设置", "点击间隔", "250"},
                    ReadCase{"other_section", "快捷键", "操作热键", "116"},
                    ReadCase{"present_but_empty_is_not_default", "设置", "点击次数", ""},
                    ReadCase{"quotes_removed", "设置", "按键", "2"},
                    ReadCase{"missing_key_gives_default", "设置", "X坐标", "默认"},
                    ReadCase{"missing_section_gives_default", "其他", "点击间隔", "默认"},
                    ReadCase{"leading_blanks_skipped", "  设置", "\t点击间隔", "250"},
                    ReadCase{"leading_controls_skipped", "\x01\x1f设置", "\r\n点击间隔", "250"},
                    ReadCase{"empty_section_gives_empty", "", "点击间隔", ""},
                    ReadCase{"blank_key_gives_empty_not_default", "设置", " \t ", ""}),
    CaseName());

TEST_F(SettingsFileTest, LongValueIsCutToTheBuffer) {
  WriteConfig("[设置]\r\n点击间隔=" + Text(20000, '7') + "\r\n");
  const Text value = ReadSetting("设置", "点击间隔", "1000");
  EXPECT_EQ(value, Text(10239, '7'));
}

TEST_F(SettingsFileTest, BinaryAndEmptyFilesGiveDefaults) {
  WriteConfig("");
  EXPECT_EQ(ReadSetting("设置", "点击次数", "100000"), "100000");
  WriteConfig(Text("\xff\xfe\x00\x01garbage\x00\x80", 13));
  EXPECT_EQ(ReadSetting("设置", "点击次数", "100000"), "100000");
}

}  // namespace
