// Text at the A-function boundary, the open-file dialog's result, and the
// settings file and folders on Windows.
#include "harness.h"

#include "platform/win32/win32_text.h"

namespace {

using harness::Ansi;

TEST(AnsiText, CodePageIsJapanese) {
  // The tests run with LANG=ja_JP.UTF-8, which Wine maps to code page 932.
  EXPECT_EQ(GetACP(), 932u);
}

TEST(AnsiText, CaptionsAndMessagesWithAnsiPathsConvert) {
  const std::string path = "C:\\" + Ansi("曲ソ表") + "\\brimvale.ini";  // second bytes 0x5C
  const struct {
    std::string in, out;
  } cases[] = {
      {"Brimvale", "Brimvale"},
      {"開始(&G)...", Ansi("開始(&G)...")},
      {"ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています", Ansi("ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています")},
      // A UTF-8 message that names an ANSI path keeps the path's bytes.
      {path + " に書き込めません", path + Ansi(" に書き込めません")},
  };
  for (const auto& c : cases) EXPECT_EQ(win32::ToAnsi(c.in), c.out) << c.out;
}

TEST(AnsiText, PathsJoinedIntoMessagesArriveWhole) {
  // "ﾃｽﾄ" in CP932 (C3 BD C4) also reads as UTF-8, so a path must be converted
  // before it is joined with a message, not guessed at afterwards.
  const std::string path = "C:\\\xC3\xBD\xC4\\a.wav";
  const std::string message = harness::App().ToUtf8(path) + " に書き込めません";
  EXPECT_EQ(message, "C:\\ﾃｽﾄ\\a.wav に書き込めません");
  EXPECT_EQ(win32::ToAnsi(message), path + Ansi(" に書き込めません"));
}

TEST(AnsiText, FilterSeparatorsAreWholeCharactersOnly) {
  // "ポ" is 0x83 0x7C in code page 932: its second byte is no separator.
  const std::string filter = Ansi("ポ (*.wav)") + "|*.wav|" + Ansi("すべて") + "|*.*";
  const std::string expected = Ansi("ポ (*.wav)") + std::string("\0*.wav\0", 7) + Ansi("すべて") +
                               std::string("\0*.*\0\0", 6);
  EXPECT_EQ(win32::FilterForDialog(filter), expected);
}

TEST(OpenFileResult, SingleAndMultipleChoicesGiveFullPaths) {
  const std::string hyo = Ansi("表");  // 0x95 0x5C
  const struct {
    std::string buffer;
    std::vector<std::string> files;
  } cases[] = {
      {std::string("C:\\music\\a.wav\0\0", 16), {"C:\\music\\a.wav"}},
      {std::string("C:\\music\0a.wav\0b.mp3\0\0", 22), {"C:\\music\\a.wav", "C:\\music\\b.mp3"}},
      {std::string("C:\\\0a.wav\0b.wav\0\0", 17), {"C:\\a.wav", "C:\\b.wav"}},
      {"C:\\" + hyo + std::string("\0a.wav\0b.wav\0\0", 14), {"C:\\" + hyo + "\\a.wav", "C:\\" + hyo + "\\b.wav"}},
      {std::string("\0\0", 2), {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(win32::ParseOpenFileResult(c.buffer.data(), c.buffer.size()), c.files);
  }
}

TEST(SettingsFile, WriteReplacesTheWholeFileAndLeavesNoTemporaryFile) {
  const std::string dir = harness::FreshDir();
  const std::string path = dir + "\\brimvale.ini";
  win32::IniFileStore store(path);
  EXPECT_FALSE(store.Read().has_value());
  ASSERT_TRUE(store.Write("[Setting]\r\nOggPath=" + Ansi("曲") + "\r\n"));
  ASSERT_TRUE(store.Write("[List]\r\nCount=0\r\n"));
  EXPECT_EQ(store.Read().value_or("missing"), "[List]\r\nCount=0\r\n");
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA((dir + "\\*.tmp*").c_str(), &fd);
  EXPECT_EQ(find, INVALID_HANDLE_VALUE);
  if (find != INVALID_HANDLE_VALUE) FindClose(find);
}

TEST(SettingsFile, WriteIntoAMissingFolderFailsAndLeavesTheOldFile) {
  const std::string dir = harness::FreshDir();
  win32::IniFileStore missing(dir + "\\no\\such\\brimvale.ini");
  EXPECT_FALSE(missing.Write("[List]\r\n"));
  // A file that cannot be replaced (it is a folder) keeps what it is.
  const std::string blocked = dir + "\\blocked.ini";
  CreateDirectoryA(blocked.c_str(), nullptr);
  win32::IniFileStore store(blocked);
  EXPECT_FALSE(store.Write("[List]\r\n"));
  EXPECT_TRUE(GetFileAttributesA(blocked.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(SettingsFile, LiesBesideTheExecutable) {
  EXPECT_EQ(win32::SettingsPathBesideExe(), harness::ExeDir() + "\\brimvale.ini");
}

TEST(Folders, ForceDirectoriesCreatesEveryLevelOfADoubleBytePath) {
  // "ソ" and "表" end in 0x5C; a byte-wise split would create wrong folders.
  const std::string dir = harness::FreshDir();
  const std::string deep = dir + "\\" + Ansi("ソ") + "\\" + Ansi("表") + "\\out";
  win32::Win32FileSystem fs;
  fs.ForceDirectories(deep);
  const DWORD attributes = GetFileAttributesA(deep.c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
  // The first level holds exactly "ソ", not a folder cut at its second byte.
  std::vector<std::string> entries;
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &fd);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  do {
    const std::string name = fd.cFileName;
    if (name != "." && name != "..") entries.push_back(name);
  } while (FindNextFileA(find, &fd));
  FindClose(find);
  EXPECT_EQ(entries, std::vector<std::string>{Ansi("ソ")});
}

TEST(Folders, ExistsAndRemoveFileSeeADoubleByteName) {
  const std::string file = harness::FreshDir() + "\\" + Ansi("表") + ".ogg";
  win32::Win32FileSystem fs;
  EXPECT_FALSE(fs.Exists(file));
  if (FILE* f = std::fopen(file.c_str(), "wb")) std::fclose(f);
  ASSERT_TRUE(harness::Exists(file));
  EXPECT_TRUE(fs.Exists(file));
  EXPECT_TRUE(fs.RemoveFile(file));
  EXPECT_FALSE(harness::Exists(file));
  EXPECT_FALSE(fs.Exists(file));
  EXPECT_FALSE(fs.RemoveFile(file));
}

}  // namespace
