// The options dialog over the real main window: how it closes decides whether
// the choice is kept, and OK applies the Explorer verb switch at once.
#include "harness.h"

namespace {

using harness::Ansi;
using harness::App;

std::string RegDefault(const std::string& path) {
  HKEY k;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return "<none>";
  char buf[1024] = {};
  DWORD size = sizeof buf - 1;
  const LONG r = RegQueryValueExA(k, "", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(k);
  return r == ERROR_SUCCESS ? std::string(buf) : "<none>";
}

class OptionDialog : public harness::MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    // .wav names a type of this test's own for as long as it runs.
    oldWav_ = RegDefault(".wav");
    SetWav(type_);
  }
  void TearDown() override {
    RegDeleteTreeA(HKEY_CLASSES_ROOT, type_.c_str());
    if (oldWav_ == "<none>") RegDeleteTreeA(HKEY_CLASSES_ROOT, ".wav");
    else SetWav(oldWav_);
    MainWindow::TearDown();
  }
  void SetWav(const std::string& type) {
    HKEY k;
    RegCreateKeyExA(HKEY_CLASSES_ROOT, ".wav", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
    RegSetValueExA(k, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(type.c_str()), static_cast<DWORD>(type.size() + 1));
    RegCloseKey(k);
  }
  win32::Win32Form& Dialog() { return static_cast<win32::Win32Form&>(options->form()); }

  // Clicks Options; once the dialog shows, act runs in it and close ends it.
  // False when the dialog never showed.
  bool RunDialog(const std::function<void()>& act, const std::function<void()>& close) {
    bool seen = false;
    harness::Ticker ticker([&] {
      if (!IsWindowVisible(Dialog().hwnd())) return false;
      seen = true;
      act();
      close();
      return true;
    });
    SendMessageA(H("btnOption"), BM_CLICK, 0, 0);
    return seen && !IsWindowVisible(Dialog().hwnd()) && IsWindowEnabled(Main());
  }

  const std::string type_ = "BrimvaleOptionTest.wav";
  std::string oldWav_;
};

TEST_F(OptionDialog, OkAndEnterKeepTheChosenBitRateCancelEscAndTheCloseBoxBringBackTheOneBefore) {
  Show();
  auto button = [this](const char* name) {
    return [this, name] { PostMessageA(Dialog().ControlHwnd(name), BM_CLICK, 0, 0); };
  };
  auto key = [](WPARAM vk) { return [vk] { PostMessageA(GetFocus(), WM_KEYDOWN, vk, 0); }; };
  auto closeBox = [this] { PostMessageA(Dialog().hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); };
  const struct {
    const char* how;
    std::function<void()> close;
    bool kept;
  } cases[] = {
      {"OK button", button("btnOk"), true},       {"Enter", key(VK_RETURN), true},
      {"Cancel button", button("btnCancel"), false}, {"Esc", key(VK_ESCAPE), false},
      {"close box", closeBox, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    options->SetBitRateIndex(1);  // "128 kbps" before the dialog
    ASSERT_TRUE(RunDialog(
        [&] {
          // The user picks "192 kbps" as the list does it: selection, then its notice.
          HWND cbo = Dialog().ControlHwnd("cboBitRate");
          SendMessageA(cbo, CB_SETCURSEL, 3, 0);
          char text[64] = {};
          SendMessageA(cbo, CB_GETLBTEXT, 3, reinterpret_cast<LPARAM>(text));
          EXPECT_EQ(std::string(text), "192 kbps");
        },
        c.close));
    EXPECT_EQ(options->BitRateIndex(), c.kept ? 3 : 1);
    EXPECT_NE(harness::ReadAll(iniPath).find(c.kept ? "BitRate=3" : "BitRate=1"), std::string::npos);
  }
}

TEST_F(OptionDialog, OkWithTheSwitchOnWritesTheVerbAtOnceOffRemovesItAndCancelChangesNothing) {
  Show();
  const std::string verbKey = type_ + "\\shell\\BrimvaleEncode";
  auto setSwitch = [this](bool on) {
    return [this, on] { SendMessageA(Dialog().ControlHwnd("chkShellExt"), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); };
  };
  auto ok = [this] { PostMessageA(Dialog().ControlHwnd("btnOk"), BM_CLICK, 0, 0); };
  auto cancel = [this] { PostMessageA(Dialog().ControlHwnd("btnCancel"), BM_CLICK, 0, 0); };

  // Ticked, then cancelled: the save before the dialog applied "off", the reload keeps it off.
  ASSERT_TRUE(RunDialog(setSwitch(true), cancel));
  EXPECT_FALSE(options->ShellExt());
  EXPECT_EQ(RegDefault(verbKey), "<none>");

  ASSERT_TRUE(RunDialog(setSwitch(true), ok));
  EXPECT_TRUE(options->ShellExt());
  EXPECT_EQ(RegDefault(verbKey), Ansi("&Brimvaleに送る"));
  EXPECT_EQ(RegDefault(verbKey + "\\command"), "\"" + win32::ModulePath() + "\" \"%1\"");
  EXPECT_NE(harness::ReadAll(iniPath).find("ShellExt=1"), std::string::npos);

  ASSERT_TRUE(RunDialog(setSwitch(false), ok));
  EXPECT_EQ(RegDefault(verbKey), "<none>");
  EXPECT_EQ(RegDefault(verbKey + "\\command"), "<none>");
  HKEY shell;  // the type's shell key stays
  ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, (type_ + "\\shell").c_str(), 0, KEY_READ, &shell), ERROR_SUCCESS);
  RegCloseKey(shell);
  EXPECT_NE(harness::ReadAll(iniPath).find("ShellExt=0"), std::string::npos);
}

TEST_F(OptionDialog, TheControlsInsideTheGroupBoxesShowOnTheScreen) {
  Show();
  const char* inside[] = {"Label1", "cboBitRate", "chkRawMode", "chkShellExt", "chkHideConsole"};
  std::vector<int> drawn;
  ASSERT_TRUE(RunDialog(
      [&] {
        UpdateWindow(Dialog().hwnd());
        RedrawWindow(Dialog().hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        HDC screen = GetDC(nullptr);
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        for (const char* name : inside) {
          // Pixels of the control's own place on the screen that are not the dialog's face colour.
          RECT r;
          GetWindowRect(Dialog().ControlHwnd(name), &r);
          int n = 0;
          for (int y = r.top; y < r.bottom; y += 1)
            for (int x = r.left; x < r.right; x += 1) n += GetPixel(screen, x, y) != face;
          drawn.push_back(n);
        }
        ReleaseDC(nullptr, screen);
      },
      [this] { PostMessageA(Dialog().ControlHwnd("btnCancel"), BM_CLICK, 0, 0); }));
  ASSERT_EQ(drawn.size(), 5u);
  for (size_t i = 0; i < drawn.size(); ++i) EXPECT_GT(drawn[i], 20) << inside[i];
}

}  // namespace
