// The about box over the real main window: showing and closing it, its mail
// link and banner under the mouse, their hints, cursor, font and picture.
#include "harness.h"

#include <commctrl.h>

namespace {

using harness::Ansi;
using harness::App;

class AboutBox : public harness::MainWindow {
 protected:
  win32::Win32Form& About() { return static_cast<win32::Win32Form&>(about->form()); }
  HWND AboutH(const char* name) { return About().ControlHwnd(name); }
  // Clicks About; once the box shows, act runs in it. False when it never showed.
  bool WhileShown(const std::function<void()>& act) {
    bool seen = false;
    harness::Ticker ticker([&] {
      if (!IsWindowVisible(About().hwnd())) return false;
      seen = true;
      act();
      return true;
    });
    SendMessageA(H("btnAbout"), BM_CLICK, 0, 0);
    return seen;
  }
  void CloseWithOk() { PostMessageA(AboutH("Button1"), BM_CLICK, 0, 0); }
  static LPARAM At(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }
  // Whether any pixel of the window's client area has the colour.
  static bool Shows(HWND h, COLORREF c) {
    UpdateWindow(h);
    RECT r;
    GetClientRect(h, &r);
    HDC dc = GetDC(h);
    bool found = false;
    for (int y = 0; y < r.bottom && !found; ++y)
      for (int x = 0; x < r.right && !found; ++x) found = GetPixel(dc, x, y) == c;
    ReleaseDC(h, dc);
    return found;
  }
};

TEST_F(AboutBox, OpensModallyFromTheMainWindowAndClosesWithOkAndWithTheCloseBox) {
  Show();
  const struct {
    const char* how;
    std::function<void()> close;
  } cases[] = {
      {"OK", [this] { CloseWithOk(); }},
      {"close box", [this] { PostMessageA(About().hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
      {"OK again", [this] { CloseWithOk(); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    std::string caption;
    bool mainDisabled = false;
    HWND focus = nullptr;
    RECT client{};
    ASSERT_TRUE(WhileShown([&] {
      caption = harness::Text(About().hwnd());
      mainDisabled = !IsWindowEnabled(Main());
      focus = GetFocus();
      GetClientRect(About().hwnd(), &client);
      c.close();
    }));
    EXPECT_EQ(caption, Ansi("バージョン情報"));
    EXPECT_TRUE(mainDisabled);
    EXPECT_EQ(focus, AboutH("Button1"));
    EXPECT_EQ(client.right, 235);
    EXPECT_EQ(client.bottom, 90);
    EXPECT_FALSE(IsWindowVisible(About().hwnd()));
    EXPECT_TRUE(IsWindowEnabled(Main()));
  }
}

TEST_F(AboutBox, TheMailLinkOpensOnlyWhenThePressEndsOnItAndTheBannerOpensTheHomePage) {
  Show();
  App().opened.clear();
  widgets::TProUrlLabel& link = about->form().Get<ui::UrlLabelControl>("ProUrlLabel1").Link();
  struct {
    widgets::TColor pressed = 0, movedOut = 0, afterUse = 0;
    bool captured = false, releasedCapture = false, redShown = false, navyShown = false;
    std::vector<std::string> afterOutside, afterInside, afterBannerOutside, afterBanner;
  } seen;
  ASSERT_TRUE(WhileShown([&] {
    HWND h = AboutH("ProUrlLabel1");
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    seen.pressed = link.Color();
    seen.captured = GetCapture() == h;
    seen.redShown = Shows(h, RGB(255, 0, 0));
    // Out of the label with the button held, and released there.
    SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, At(-20, 5));
    seen.movedOut = link.Color();
    SendMessageA(h, WM_LBUTTONUP, 0, At(-20, 5));
    seen.releasedCapture = GetCapture() != h;
    seen.afterOutside = App().opened;
    // Pressed and released on it; the right edge counts as inside.
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
    SendMessageA(h, WM_LBUTTONUP, 0, At(119, 12));
    seen.afterInside = App().opened;
    seen.afterUse = link.Color();
    seen.navyShown = Shows(h, RGB(0, 0, 128));

    HWND img = AboutH("ProUrlImage1");
    SendMessageA(img, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
    SendMessageA(img, WM_LBUTTONUP, 0, At(200, 10));
    seen.afterBannerOutside = App().opened;
    SendMessageA(img, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
    SendMessageA(img, WM_LBUTTONUP, 0, At(12, 11));
    seen.afterBanner = App().opened;
    CloseWithOk();
  }));
  EXPECT_EQ(seen.pressed, widgets::clRed);
  EXPECT_TRUE(seen.captured);
  EXPECT_TRUE(seen.redShown);
  EXPECT_EQ(seen.movedOut, widgets::clBlue);
  EXPECT_TRUE(seen.releasedCapture);
  EXPECT_TRUE(seen.afterOutside.empty());
  const std::string mail = std::string("mailto:") + ui::kAboutMail;
  EXPECT_EQ(seen.afterInside, std::vector<std::string>{mail});
  EXPECT_EQ(seen.afterUse, widgets::clNavy);
  EXPECT_TRUE(seen.navyShown);
  EXPECT_EQ(seen.afterBannerOutside, std::vector<std::string>{mail});
  EXPECT_EQ(seen.afterBanner, (std::vector<std::string>{mail, ui::kAboutHomePage}));

  // Shown again, the used link keeps its visited colour.
  bool navyAgain = false;
  ASSERT_TRUE(WhileShown([&] {
    navyAgain = Shows(AboutH("ProUrlLabel1"), RGB(0, 0, 128));
    CloseWithOk();
  }));
  EXPECT_TRUE(navyAgain);
}

TEST_F(AboutBox, LinksHaveTheirHintsTheHandCursorTheBlueFontWithoutUnderlineAndTheBanner) {
  Show();
  HWND link = AboutH("ProUrlLabel1"), img = AboutH("ProUrlImage1");
  HWND tip = About().Tooltip();
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 2);
  const struct {
    HWND control;
    const char* hint;
  } hints[] = {{link, "メール"}, {img, "ホームページ"}};
  for (const auto& h : hints) {
    char text[256] = {};
    TOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V1_SIZE;
    ti.hwnd = About().hwnd();
    ti.uId = reinterpret_cast<UINT_PTR>(h.control);
    ti.lpszText = text;
    SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&ti));
    EXPECT_EQ(std::string(text), Ansi(h.hint));
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(h.control, GCLP_HCURSOR)), LoadCursor(nullptr, IDC_HAND));
  }
  LOGFONTA lf{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(link, WM_GETFONT, 0, 0)), sizeof lf, &lf);
  EXPECT_EQ(lf.lfHeight, -12);
  EXPECT_EQ(lf.lfCharSet, SHIFTJIS_CHARSET);
  EXPECT_FALSE(lf.lfUnderline);

  // The banner: sized to its 88 x 31 picture, and showing it pixel for pixel.
  RECT r;
  GetClientRect(img, &r);
  EXPECT_EQ(r.right, 88);
  EXPECT_EQ(r.bottom, 31);
  HBITMAP bmp = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), "BANNER", IMAGE_BITMAP, 0, 0, 0));
  ASSERT_NE(bmp, nullptr);
  BITMAP bm{};
  GetObjectA(bmp, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 88);
  EXPECT_EQ(bm.bmHeight, 31);
  int differing = -1, distinct = 0;
  int headingText = 0, headingWhite = 0;
  ASSERT_TRUE(WhileShown([&] {
    // The engraved heading "Brimvale" (ExLabel1 at 8, 6, 221 x 12): text in the
    // window-text colour with its white copy beside it, on the form's face.
    UpdateWindow(About().hwnd());
    HDC form = GetDC(About().hwnd());
    for (int y = 6; y < 18; ++y)
      for (int x = 8; x < 229; ++x) {
        const COLORREF c = GetPixel(form, x, y);
        headingText += c == GetSysColor(COLOR_WINDOWTEXT);
        headingWhite += c == RGB(255, 255, 255);
      }
    ReleaseDC(About().hwnd(), form);
    UpdateWindow(img);
    HDC screen = GetDC(img);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bmp);
    differing = 0;
    COLORREF first = GetPixel(mem, 0, 0);
    for (int y = 0; y < 31; ++y)
      for (int x = 0; x < 88; ++x) {
        const COLORREF want = GetPixel(mem, x, y);
        if (GetPixel(screen, x, y) != want) ++differing;
        if (want != first) ++distinct;
      }
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(img, screen);
    CloseWithOk();
  }));
  DeleteObject(bmp);
  EXPECT_EQ(differing, 0);
  EXPECT_GT(distinct, 0);  // a picture, not a plain fill
  EXPECT_GT(headingText, 10);
  EXPECT_GT(headingWhite, 5);
}

// The front end's own OpenUrl, through ShellExecuteA: a URL scheme of the
// test's, registered in Wine's registry, starts the stand-in encoder with it.
TEST(OpenUrl, ShellExecuteOpensTheUrlWithTheProgramItsSchemeNames) {
  const std::string log = harness::FreshDir() + "\\url.log";
  SetEnvironmentVariableA("BRIMVALE_TEST_LOG", log.c_str());
  const std::string command = "\"" + harness::ExeDir() + "\\test_encoder.exe\" \"%1\"";
  HKEY k;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "brimvaletest", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(k, "URL Protocol", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
  RegCloseKey(k);
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "brimvaletest\\shell\\open\\command", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &k, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(k, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                 static_cast<DWORD>(command.size() + 1));
  RegCloseKey(k);

  App().Win32App::OpenUrl("brimvaletest:mail@example.org");
  std::vector<harness::EncoderRun> runs;
  for (int i = 0; i < 200 && runs.empty(); ++i) {
    Sleep(50);
    runs = harness::ReadLog(log);
  }
  SetEnvironmentVariableA("BRIMVALE_TEST_LOG", nullptr);
  RegDeleteTreeA(HKEY_CLASSES_ROOT, "brimvaletest");
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_NE(runs[0].commandLine.find("brimvaletest:mail@example.org"), std::string::npos) << runs[0].commandLine;
  EXPECT_EQ(runs[0].show, static_cast<unsigned>(SW_SHOW));
}

}  // namespace
