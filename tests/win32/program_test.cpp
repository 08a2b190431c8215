// brimvale.exe itself: its resources, and a start with arguments that ends
// with a close request.
#include "harness.h"

namespace {

using harness::Ansi;

std::string ProgramPath() { return harness::ExeDir() + "\\brimvale.exe"; }

std::string VersionString(const std::vector<char>& info, const std::string& name) {
  char* value = nullptr;
  UINT len = 0;
  const std::string key = "\\StringFileInfo\\041104B0\\" + name;
  if (!VerQueryValueA(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &len) || !value) return "<missing>";
  return std::string(value);
}

TEST(ProgramFile, CarriesTheJapaneseVersionRecord) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(ProgramPath().c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(ProgramPath().c_str(), 0, size, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT len = 0;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &len));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);  // 1.0
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00010000u);  // .1.0
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00010000u);
  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &len));
  ASSERT_GE(len, 4u);
  EXPECT_EQ(translation[0], 0x0411);
  EXPECT_EQ(translation[1], 1200);
  const struct {
    const char* name;
    const char* value;
  } strings[] = {{"FileVersion", "1.01"},         {"ProductVersion", "1.01"}, {"FileDescription", "Brimvale"},
                 {"InternalName", "Brimvale"},    {"ProductName", "Brimvale"}, {"OriginalFilename", "brimvale.exe"}};
  for (const auto& s : strings) EXPECT_EQ(VersionString(info, s.name), s.value) << s.name;
  EXPECT_NE(VersionString(info, "CompanyName"), "<missing>");
  EXPECT_NE(VersionString(info, "LegalCopyright"), "<missing>");
}

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colors, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
struct GroupIcon {
  WORD reserved, type, count;
  GroupIconEntry entries[1];
};
#pragma pack(pop)

TEST(ProgramFile, CarriesTheIconInTwoSixteenColourSizesAndTheManifest) {
  HMODULE m = LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(m, nullptr);
  HRSRC group = FindResourceA(m, "MAINICON", MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  ASSERT_NE(group, nullptr);
  const auto* g = static_cast<const GroupIcon*>(LockResource(LoadResource(m, group)));
  ASSERT_EQ(g->count, 2);
  std::vector<int> sizes;
  for (int i = 0; i < g->count; ++i) {
    sizes.push_back(g->entries[i].width);
    EXPECT_EQ(g->entries[i].height, g->entries[i].width);
    EXPECT_EQ(g->entries[i].colors, 16);
    EXPECT_EQ(g->entries[i].bitCount, 4);
  }
  EXPECT_EQ(sizes, (std::vector<int>{32, 16}));
  HRSRC manifest = FindResourceA(m, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  ASSERT_NE(manifest, nullptr);
  const std::string text(static_cast<const char*>(LockResource(LoadResource(m, manifest))),
                         SizeofResource(m, manifest));
  EXPECT_NE(text.find("Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(text.find("<dpiAware"), std::string::npos);
  FreeLibrary(m);
}

struct FindArgs {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindProgramWindow(HWND h, LPARAM p) {
  auto* a = reinterpret_cast<FindArgs*>(p);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid == a->pid && IsWindowVisible(h) && harness::Text(h) == "Brimvale") {
    a->found = h;
    return FALSE;
  }
  return TRUE;
}

TEST(Program, ListsTheSavedEntriesThenTheArgumentsAndSavesThemOnClose) {
  const std::string dir = harness::FreshDir();
  const std::string exe = dir + "\\brimvale.exe";
  ASSERT_TRUE(CopyFileA(ProgramPath().c_str(), exe.c_str(), FALSE));
  const std::string saved = "C:\\" + Ansi("保存済み") + "\\saved.wav";
  const std::string ini = "[Setting]\r\nOggPath=oggenc.exe\r\n[List]\r\nCount=1\r\n0=" + saved + "\r\n";
  if (FILE* f = std::fopen((dir + "\\brimvale.ini").c_str(), "wb")) {
    std::fwrite(ini.data(), 1, ini.size(), f);
    std::fclose(f);
  }
  // A quoted argument with a blank arrives whole and without its quotes; "-x" is no switch.
  std::string line = "\"" + exe + "\" \"C:\\my music\\a b.wav\" -x " + saved;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi));
  FindArgs args{pi.dwProcessId, nullptr};
  for (int i = 0; i < 400 && !args.found; ++i) {
    if (WaitForSingleObject(pi.hProcess, 50) == WAIT_OBJECT_0) break;
    EnumWindows(&FindProgramWindow, reinterpret_cast<LPARAM>(&args));
  }
  ASSERT_NE(args.found, nullptr) << "the main window did not appear";
  PostMessageA(args.found, WM_CLOSE, 0, 0);
  const bool ended = WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(pi.hProcess, 1);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  ASSERT_TRUE(ended);
  EXPECT_EQ(code, 0u);
  const std::string after = harness::ReadAll(dir + "\\brimvale.ini");
  EXPECT_NE(after.find("Count=4\r\n0=" + saved + "\r\n1=C:\\my music\\a b.wav\r\n2=-x\r\n3=" + saved + "\r\n"),
            std::string::npos)
      << after;
}

}  // namespace
