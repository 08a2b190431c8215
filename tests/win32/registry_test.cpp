// The Explorer verb in Wine's registry under HKEY_CLASSES_ROOT, through the
// Win32 registry accessor, and from brimvale.exe itself.
#include "harness.h"

namespace {

using harness::Ansi;

// A key's default value and type; "<none>" when the key or value is missing.
std::string Default(const std::string& path, DWORD* type = nullptr) {
  HKEY k;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return "<none>";
  char buf[4096] = {};
  DWORD size = sizeof buf, t = 0;
  const LONG r = RegQueryValueExA(k, "", nullptr, &t, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(k);
  if (r != ERROR_SUCCESS) return "<none>";
  if (type) *type = t;
  return std::string(buf, size).c_str();
}

bool KeyExists(const std::string& path) {
  HKEY k;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
  RegCloseKey(k);
  return true;
}

void SetDefault(const std::string& path, DWORD type, const std::string& bytes) {
  HKEY k;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(k, "", 0, type, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size())),
            ERROR_SUCCESS);
  RegCloseKey(k);
}

std::string Sz(const std::string& s) { return std::string(s.c_str(), s.size() + 1); }

// Moves .wav and .mp3 aside for a test and puts them back after it.
class ShellVerbRegistry : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* ext : {".wav", ".mp3"}) {
      const std::string backup = std::string("BrimvaleBackup") + ext;
      RegDeleteTreeA(HKEY_CLASSES_ROOT, backup.c_str());
      if (KeyExists(ext)) {
        HKEY from, to;
        RegOpenKeyExA(HKEY_CLASSES_ROOT, ext, 0, KEY_READ, &from);
        RegCreateKeyExA(HKEY_CLASSES_ROOT, backup.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &to, nullptr);
        RegCopyTreeA(from, nullptr, to);
        RegCloseKey(from);
        RegCloseKey(to);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, ext);
        moved_.push_back(ext);
      }
    }
    ASSERT_FALSE(KeyExists(".wav"));
    ASSERT_FALSE(KeyExists(".mp3"));
    RegDeleteTreeA(HKEY_CLASSES_ROOT, type_.c_str());
  }
  void TearDown() override {
    RegDeleteTreeA(HKEY_CLASSES_ROOT, type_.c_str());
    RegDeleteTreeA(HKEY_CLASSES_ROOT, ".wav");
    RegDeleteTreeA(HKEY_CLASSES_ROOT, ".mp3");
    for (const std::string& ext : moved_) {
      const std::string backup = "BrimvaleBackup" + ext;
      HKEY from, to;
      RegOpenKeyExA(HKEY_CLASSES_ROOT, backup.c_str(), 0, KEY_READ, &from);
      RegCreateKeyExA(HKEY_CLASSES_ROOT, ext.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &to, nullptr);
      RegCopyTreeA(from, nullptr, to);
      RegCloseKey(from);
      RegCloseKey(to);
      RegDeleteTreeA(HKEY_CLASSES_ROOT, backup.c_str());
    }
  }

  // A type name in the code page, so key paths pass through in ANSI.
  const std::string type_ = Ansi("Brimvale.音声ファイル");
  std::vector<std::string> moved_;
};

TEST_F(ShellVerbRegistry, RegisterWritesTheVerbUnderTheTypeAndUnregisterRemovesItWithItsSubkeys) {
  SetDefault(".wav", REG_SZ, Sz(type_));
  SetDefault(type_ + "\\shell", REG_SZ, Sz("play"));
  // A path with blanks and double-byte characters whose second byte is 0x5C.
  const std::string exe = "C:\\Program Files\\" + Ansi("音楽 ツール\\表") + "\\brimvale.exe";
  settings::RegistryShellVerb verb = win32::ShellVerb(exe);
  verb.Register();

  const std::string key = type_ + "\\shell\\BrimvaleEncode";
  DWORD t1 = 0, t2 = 0;
  EXPECT_EQ(Default(key, &t1), Ansi("&Brimvaleに送る"));
  EXPECT_EQ(Default(key + "\\command", &t2), "\"" + exe + "\" \"%1\"");
  EXPECT_EQ(t1, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(t2, static_cast<DWORD>(REG_SZ));
  // The type's default verb is not touched; the extension without a key gets nothing.
  EXPECT_EQ(Default(type_ + "\\shell"), "play");
  EXPECT_FALSE(KeyExists(".mp3"));
  EXPECT_EQ(Default(".wav"), type_);

  // Removal takes every subkey with it and leaves the type's shell key.
  SetDefault(key + "\\extra\\deeper", REG_SZ, Sz("x"));
  SetDefault(key + "\\other", REG_SZ, Sz("y"));
  verb.Unregister();
  EXPECT_FALSE(KeyExists(key));
  EXPECT_TRUE(KeyExists(type_ + "\\shell"));
  EXPECT_EQ(Default(type_ + "\\shell"), "play");
  // With nothing left to delete a second removal reports nothing.
  EXPECT_NO_THROW(verb.Unregister());
}

TEST_F(ShellVerbRegistry, BothExtensionsOfOneTypeAndAMovedProgramGiveOneVerbWithTheNewPath) {
  SetDefault(".wav", REG_SZ, Sz(type_));
  SetDefault(".mp3", REG_SZ, Sz(type_));
  win32::ShellVerb("C:\\old\\brimvale.exe").Register();
  win32::ShellVerb("D:\\new place\\brimvale.exe").Register();
  EXPECT_EQ(Default(type_ + "\\shell\\BrimvaleEncode\\command"), "\"D:\\new place\\brimvale.exe\" \"%1\"");
  // Half-width katakana: the bytes of "ﾃｽﾄ" (C3 BD C4) also read as UTF-8, yet the path is kept byte for byte.
  const std::string kana = "C:\\\xC3\xBD\xC4\\brimvale.exe";
  win32::ShellVerb(kana).Register();
  EXPECT_EQ(Default(type_ + "\\shell\\BrimvaleEncode\\command"), "\"" + kana + "\" \"%1\"");
}

TEST_F(ShellVerbRegistry, TheTypeNameIsReadAsTextOfAStringTypeAndAnyOtherTypeIsAnError) {
  const std::string badType = "'' " + std::string("のﾃﾞｰﾀ型が不正です");
  const struct {
    DWORD type;
    std::string bytes;
    std::string read;  // the type name, or the message of the error
  } cases[] = {
      {REG_SZ, Sz("Plain.Type"), "Plain.Type"},
      // Taken as it stands, not expanded.
      {REG_EXPAND_SZ, Sz("%WINDIR%.Type"), "%WINDIR%.Type"},
      // Text ends at its first zero byte.
      {REG_SZ, std::string("Cut\0After\0", 10), "Cut"},
      {REG_SZ, std::string(), ""},
      {REG_DWORD, std::string("\x01\0\0\0", 4), badType},
      {REG_BINARY, std::string("ab", 2), badType},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.read);
    SetDefault(".wav", c.type, c.bytes);
    win32::Win32Registry reg(HKEY_CLASSES_ROOT);
    ASSERT_TRUE(reg.OpenKey(".wav", false));
    std::string got;
    try {
      got = reg.ReadDefault();
    } catch (const ui::Error& e) {
      got = e.what();
    }
    EXPECT_EQ(got, c.read);
  }
  // A missing value and a missing key both read as no type.
  RegDeleteTreeA(HKEY_CLASSES_ROOT, ".wav");
  SetDefault(".wav\\sub", REG_SZ, Sz("x"));
  win32::Win32Registry reg(HKEY_CLASSES_ROOT);
  ASSERT_TRUE(reg.OpenKey(".wav", false));
  EXPECT_EQ(reg.ReadDefault(), "");
  EXPECT_FALSE(reg.OpenKey(".mp3", false));
  EXPECT_FALSE(KeyExists(".mp3"));  // opening does not create

  // The verb operations pass the wrong-type error on, and write nothing.
  SetDefault(".wav", REG_DWORD, std::string("\x01\0\0\0", 4));
  settings::RegistryShellVerb verb(&win32::ClassesRootRegistry, "C:\\brimvale.exe");
  for (auto op : {&settings::RegistryShellVerb::Register, &settings::RegistryShellVerb::Unregister}) {
    std::string message;
    try {
      (verb.*op)();
    } catch (const ui::Error& e) {
      message = e.what();
    }
    EXPECT_EQ(message, badType);
  }
}

// brimvale.exe from a folder with blanks, with the switch on in its settings:
// the close request saves, and the saved verb starts that very program.
TEST_F(ShellVerbRegistry, TheProgramRegistersItsOwnQuotedPathWhenItSavesOnClose) {
  SetDefault(".wav", REG_SZ, Sz(type_));
  const std::string dir = harness::FreshDir() + "\\my programs";
  CreateDirectoryA(dir.c_str(), nullptr);
  const std::string exe = dir + "\\brimvale.exe";
  ASSERT_TRUE(CopyFileA((harness::ExeDir() + "\\brimvale.exe").c_str(), exe.c_str(), FALSE));
  const std::string ini = "[Option]\r\nShellExt=1\r\n";
  if (FILE* f = std::fopen((dir + "\\brimvale.ini").c_str(), "wb")) {
    std::fwrite(ini.data(), 1, ini.size(), f);
    std::fclose(f);
  }
  std::string line = "\"" + exe + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi));
  HWND found = nullptr;
  for (int i = 0; i < 400 && !found; ++i) {
    if (WaitForSingleObject(pi.hProcess, 50) == WAIT_OBJECT_0) break;
    HWND h = nullptr;
    while ((h = FindWindowExA(nullptr, h, nullptr, "Brimvale")) != nullptr) {
      DWORD pid = 0;
      GetWindowThreadProcessId(h, &pid);
      if (pid == pi.dwProcessId && IsWindowVisible(h)) found = h;
    }
  }
  EXPECT_NE(found, nullptr);
  if (found) PostMessageA(found, WM_CLOSE, 0, 0);
  const bool ended = WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  ASSERT_TRUE(ended);
  // GetModuleFileNameA may report the path in another letter case than given.
  const std::string command = Default(type_ + "\\shell\\BrimvaleEncode\\command");
  EXPECT_STRCASEEQ(command.c_str(), ("\"" + exe + "\" \"%1\"").c_str());
  EXPECT_EQ(Default(type_ + "\\shell\\BrimvaleEncode"), Ansi("&Brimvaleに送る"));
}

}  // namespace
