// The real main window with Win32 services around it, and helpers to drive it
// the way the system does: messages, timers that act during a run, the
// encoder's log.
#pragma once

#include "app/main_form.h"
#include "about/about_form.h"
#include "app/option_form.h"
#include "app/services.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_ui.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace harness {

// UTF-8 text in the ANSI code page, converted here independently of the front end.
inline std::string Ansi(const std::string& utf8) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, w.data(), n);
  const int m = WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(m), '\0');
  WideCharToMultiByte(CP_ACP, 0, w.c_str(), -1, s.data(), m, nullptr, nullptr);
  s.resize(static_cast<size_t>(m > 0 ? m - 1 : 0));
  return s;
}

inline std::string Utf8FromAnsi(const std::string& ansi) {
  const int n = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, w.data(), n);
  const int m = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string s(static_cast<size_t>(m), '\0');
  WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, s.data(), m, nullptr, nullptr);
  s.resize(static_cast<size_t>(m > 0 ? m - 1 : 0));
  return s;
}

inline std::string Text(HWND h) {
  char buf[4096] = {};
  GetWindowTextA(h, buf, sizeof buf);
  return buf;
}

inline std::string ClassName(HWND h) {
  char buf[64] = {};
  GetClassNameA(h, buf, sizeof buf);
  return buf;
}

inline std::string ReadAll(const std::string& path) {
  std::string s;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
    std::fclose(f);
  }
  return s;
}

inline bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The folder of the test executable (test_encoder.exe lies there too).
inline std::string ExeDir() {
  const std::string exe = win32::ModulePath();
  return exe.substr(0, exe.rfind('\\'));
}

// A fresh folder under the temporary folder.
inline std::string FreshDir() {
  static int counter = 0;
  char tmp[MAX_PATH];
  GetTempPathA(MAX_PATH, tmp);
  std::string dir = std::string(tmp) + "bv" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

// One process of the stand-in encoder, from its log.
struct EncoderRun {
  std::string commandLine;
  unsigned flags = 0, show = 0;
  DWORD pid = 0;
  long long start = -1, end = -1;
};

inline std::vector<EncoderRun> ReadLog(const std::string& path) {
  const std::string log = ReadAll(path);
  std::vector<EncoderRun> runs;
  size_t i = 0;
  while (i < log.size()) {
    const size_t sp = log.find(' ', i);
    const std::string tag = log.substr(i, sp - i);
    if (tag == "cmdline") {
      const size_t sp2 = log.find(' ', sp + 1);
      const size_t len = std::stoul(log.substr(sp + 1, sp2 - sp - 1));
      runs.emplace_back();
      runs.back().commandLine = log.substr(sp2 + 1, len);
      i = sp2 + 1 + len + 1;
      continue;
    }
    const size_t eol = log.find('\n', i);
    const std::string rest = log.substr(sp + 1, eol - sp - 1);
    if (!runs.empty()) {
      if (tag == "startup") {
        unsigned long f, s, p;
        if (std::sscanf(rest.c_str(), "%lu %lu %lu", &f, &s, &p) == 3) {
          runs.back().flags = f;
          runs.back().show = s;
          runs.back().pid = p;
        }
      } else if (tag == "start") {
        runs.back().start = std::stoll(rest);
      } else if (tag == "end") {
        runs.back().end = std::stoll(rest);
      }
    }
    if (eol == std::string::npos) break;
    i = eol + 1;
  }
  return runs;
}

// Runs an action on the user-interface thread every few milliseconds while
// any message loop (the run's, a message box's, a menu's) dispatches; the
// action returns true once it is done.
class Ticker {
 public:
  explicit Ticker(std::function<bool()> action) {
    Action() = std::move(action);
    id_ = SetTimer(nullptr, 0, 15, &Ticker::Proc);
  }
  ~Ticker() {
    KillTimer(nullptr, id_);
    Action() = nullptr;
  }

 private:
  static std::function<bool()>& Action() {
    static std::function<bool()> a;
    return a;
  }
  static void CALLBACK Proc(HWND, UINT, UINT_PTR, DWORD) {
    static bool busy = false;
    if (busy || !Action()) return;
    busy = true;
    if (Action()()) Action() = nullptr;
    busy = false;
  }
  UINT_PTR id_;
};

// A visible message box of this thread, or null.
inline BOOL CALLBACK FindDialog(HWND h, LPARAM p) {
  if (IsWindowVisible(h) && ClassName(h) == "#32770") {
    *reinterpret_cast<HWND*>(p) = h;
    return FALSE;
  }
  return TRUE;
}

inline HWND FindMessageBox() {
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &FindDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

// The texts of a message box's static controls, joined by "|".
inline BOOL CALLBACK CollectStaticText(HWND h, LPARAM p) {
  if (ClassName(h) == "Static" && !Text(h).empty()) *reinterpret_cast<std::string*>(p) += Text(h) + "|";
  return TRUE;
}

inline std::string MessageBoxTexts(HWND box) {
  std::string all;
  EnumChildWindows(box, &CollectStaticText, reinterpret_cast<LPARAM>(&all));
  return all;
}

// The front end's application object; URLs it is asked to open are recorded
// instead of started, so a test starts no mail program or browser.
class TestApp : public win32::Win32App {
 public:
  using Win32App::Win32App;
  void OpenUrl(const std::string& url) override { opened.push_back(url); }
  std::vector<std::string> opened;
};

TestApp& App();

// The main window with its two dialogs, as the program creates them, over a
// settings file in a fresh folder.
class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  win32::Win32Form& Form() { return static_cast<win32::Win32Form&>(main->form()); }
  HWND H(const std::string& name) { return Form().ControlHwnd(name); }
  HWND Main() { return Form().hwnd(); }
  void Show() { Form().Show(); App().ProcessMessages(); }
  ui::ListBox& List() { return main->form().Get<ui::ListBox>("lstSrcFile"); }
  std::vector<std::string> Items() {
    std::vector<std::string> v;
    for (int i = 0; i < List().Count(); ++i) v.push_back(List().Item(i));
    return v;
  }
  SIZE ClientSize() {
    RECT r;
    GetClientRect(Main(), &r);
    return {r.right, r.bottom};
  }
  // Posts a key to the focused window and lets the loop handle it.
  void Key(UINT msg, WPARAM key) {
    PostMessageA(GetFocus() ? GetFocus() : Main(), msg, key, 0);
    App().ProcessMessages();
  }

  std::string dir;
  std::string iniPath;
  win32::Win32Process process;
  win32::Win32FileSystem fs;
  std::unique_ptr<win32::IniFileStore> settings;
  // The real Explorer verb in Wine's registry, with the test program's path.
  settings::RegistryShellVerb verb = win32::ShellVerb(win32::ModulePath());
  win32::Win32FolderBrowserPort browser;
  std::unique_ptr<app::Services> services;
  std::unique_ptr<app::TOggEncodeF> main;
  std::unique_ptr<app::TAboutF> about;
  std::unique_ptr<app::TEncodeOptionF> options;
};

}  // namespace harness
