// The real main window: its controls, keyboard, context menu and drops.
#include "harness.h"

#include <shlobj.h>

#include <map>

namespace {

using harness::Ansi;
using harness::App;
using harness::ClassName;
using harness::Text;

class MainWindowLayout : public harness::MainWindow {};

TEST_F(MainWindowLayout, WindowIsFixedWithMinimiseOnlyAtItsDesignedPlaceAndSize) {
  Show();
  EXPECT_EQ(Text(Main()), "Brimvale");
  const LONG style = GetWindowLongA(Main(), GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_TRUE(style & WS_SYSMENU);
  const SIZE client = ClientSize();
  EXPECT_EQ(client.cx, 489);
  EXPECT_EQ(client.cy, 225);
  RECT w;
  GetWindowRect(Main(), &w);
  EXPECT_EQ(w.left, 235);
  EXPECT_EQ(w.top, 139);
  // Drops are accepted from the first showing on.
  EXPECT_TRUE(GetWindowLongA(Main(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

TEST_F(MainWindowLayout, EveryControlHasItsClassParentBoundsCaptionAndFont) {
  const std::map<ui::Kind, std::string> classOf = {
      {ui::Kind::Label, "Static"},   {ui::Kind::Edit, "Edit"},     {ui::Kind::Button, "Button"},
      {ui::Kind::ListBox, "ListBox"}, {ui::Kind::GroupBox, "Button"}, {ui::Kind::Panel, "TPanel"},
  };
  const ui::FormDesc& desc = ui::MainFormDesc();
  ASSERT_FALSE(desc.controls.empty());
  for (const ui::ControlDesc& c : desc.controls) {
    SCOPED_TRACE(c.name);
    HWND h = H(c.name);
    ASSERT_NE(h, nullptr);
    EXPECT_STRCASEEQ(ClassName(h).c_str(), classOf.at(c.kind).c_str());
    EXPECT_EQ(GetParent(h), c.parent.empty() ? Main() : H(c.parent));
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, GetParent(h), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, c.bounds.left);
    EXPECT_EQ(r.top, c.bounds.top);
    EXPECT_EQ(r.right - r.left, c.bounds.width);
    EXPECT_EQ(r.bottom - r.top, c.bounds.height);
    const std::string expected = c.name == "edtOggPath" ? "oggenc.exe" : c.caption;
    // The caption arrives in the ANSI code page and reads back as the designed text.
    EXPECT_EQ(Text(h), Ansi(expected));
    EXPECT_EQ(harness::Utf8FromAnsi(Text(h)), expected);
    if (c.kind == ui::Kind::Label) {
      EXPECT_FALSE(GetWindowLongA(h, GWL_STYLE) & SS_NOPREFIX);
    }
    EXPECT_EQ((GetWindowLongA(h, GWL_STYLE) & WS_VISIBLE) != 0, !c.Has(ui::Hidden));
    LOGFONTA lf{};
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    GetObjectA(font, sizeof lf, &lf);
    EXPECT_EQ(lf.lfHeight, -12);
    EXPECT_EQ(lf.lfCharSet, SHIFTJIS_CHARSET);
  }
  HWND list = H("lstSrcFile");
  const LONG ls = GetWindowLongA(list, GWL_STYLE);
  EXPECT_EQ(ls & (LBS_EXTENDEDSEL | LBS_NOTIFY | LBS_SORT), LBS_EXTENDEDSEL | LBS_NOTIFY);
  EXPECT_EQ(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0), 12);
  EXPECT_EQ(GetWindowLongA(H("btnStartEncode"), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(GetWindowLongA(H("btnOption"), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
  // The font is a Japanese gothic: the designed one or a fallback of the same kind.
  const std::wstring face = App().FontFace(reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0)));
  const std::vector<std::wstring> gothics{L"ＭＳ Ｐゴシック", L"MS PGothic", L"IPAPGothic", L"IPA Pゴシック",
                                          L"MS UI Gothic", L"IPAGothic", L"IPAゴシック"};
  EXPECT_NE(std::find(gothics.begin(), gothics.end(), face), gothics.end());
}

TEST_F(MainWindowLayout, PopupMenuHoldsTheDesignedItems) {
  HMENU menu = Form().PopupMenu();
  ASSERT_NE(menu, nullptr);
  const std::vector<std::string> expected{"エンコード開始", "-", "リストに追加...", "リストから削除",
                                          "リストをクリア", "-", "選択ファイルを再生"};
  ASSERT_EQ(GetMenuItemCount(menu), static_cast<int>(expected.size()));
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(expected[i]);
    MENUITEMINFOA mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_FTYPE;
    GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &mi);
    if (expected[i] == "-") {
      EXPECT_TRUE(mi.fType & MFT_SEPARATOR);
    } else {
      char buf[256] = {};
      GetMenuStringA(menu, static_cast<UINT>(i), buf, sizeof buf, MF_BYPOSITION);
      EXPECT_EQ(std::string(buf), Ansi(expected[i]));
    }
  }
}

class MainWindowKeyboard : public harness::MainWindow {};

TEST_F(MainWindowKeyboard, StartHasTheFirstFocusAndTabWalksTheTabOrder) {
  Show();
  EXPECT_EQ(GetFocus(), H("btnStartEncode"));
  const std::vector<std::string> order{"btnOption",    "btnExit",      "btnAbout",   "edtOggPath",
                                       "btnBrowseOgg", "btnAddList",   "btnDelList", "btnClearList",
                                       "btnPlaySound", "lstSrcFile",   "edtOutputDir", "btnBrowseOutputDir",
                                       "btnStartEncode"};
  for (const std::string& name : order) {
    Key(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(GetFocus(), H(name)) << "expected " << name;
  }
  // Shift+Tab walks back.
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  Key(WM_KEYDOWN, VK_TAB);
  keys[VK_SHIFT] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(GetFocus(), H("btnBrowseOutputDir"));
  // The focused button is drawn as the default one; the designed default gives it up.
  EXPECT_EQ(GetWindowLongA(H("btnBrowseOutputDir"), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(GetWindowLongA(H("btnStartEncode"), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
}

TEST_F(MainWindowKeyboard, AltWithALabelsLetterFocusesItsControl) {
  Show();
  const struct {
    char key;
    const char* target;
  } cases[] = {{'e', "lstSrcFile"}, {'O', "edtOggPath"}, {'l', "edtOutputDir"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    Key(WM_SYSCHAR, static_cast<WPARAM>(c.key));
    EXPECT_EQ(GetFocus(), H(c.target));
  }
}

TEST_F(MainWindowKeyboard, EnterPressesTheFocusedButtonElseStart) {
  Show();
  List().Append("C:\\a.wav");
  List().Append("C:\\b.wav");
  // Alt+A would open a dialog; a focused Clear button pressed with Enter clears.
  SetFocus(H("btnClearList"));
  Key(WM_KEYDOWN, VK_RETURN);
  EXPECT_EQ(List().Count(), 0);
  // From an edit box Enter runs Start: with an empty list the run ends at once and saves.
  ASSERT_FALSE(harness::Exists(iniPath));
  SetFocus(H("edtOutputDir"));
  Key(WM_KEYDOWN, VK_RETURN);
  EXPECT_TRUE(harness::Exists(iniPath));
  EXPECT_NE(harness::ReadAll(iniPath).find("Count=0"), std::string::npos);
  EXPECT_EQ(ClientSize().cx, 489);
  EXPECT_EQ(ClientSize().cy, 225);
}

TEST_F(MainWindowKeyboard, ContextMenuKeyInAnEditBoxOpensTheFormsMenuWhoseItemRuns) {
  Show();
  List().Append("C:\\a.wav");
  SetFocus(H("edtOggPath"));
  // The fifth selectable step from the top is "リストをクリア" (K4, K1, K2, K3).
  bool menuSeen = false;
  int step = 0;
  harness::Ticker ticker([&] {
    HWND menu = FindWindowA("#32768", nullptr);
    if (!menu || !IsWindowVisible(menu)) return false;
    menuSeen = true;
    if (step < 4) {
      PostMessageA(Main(), WM_KEYDOWN, VK_DOWN, 0);
      ++step;
      return false;
    }
    PostMessageA(Main(), WM_KEYDOWN, VK_RETURN, 0);
    return true;
  });
  Key(WM_KEYDOWN, VK_APPS);
  Key(WM_KEYUP, VK_APPS);
  EXPECT_TRUE(menuSeen);
  EXPECT_EQ(List().Count(), 0);
}

TEST_F(MainWindowKeyboard, RightClickOnAnyControlOpensTheFormsMenu) {
  Show();
  // An edit box would show its own menu; every control shows the form's.
  for (const char* name : {"lstSrcFile", "edtOggPath", "btnAddList", "Label2"}) {
    SCOPED_TRACE(name);
    HMENU shown = nullptr;
    harness::Ticker ticker([&] {
      HWND menu = FindWindowA("#32768", nullptr);
      if (!menu || !IsWindowVisible(menu)) return false;
      shown = reinterpret_cast<HMENU>(SendMessageA(menu, MN_GETHMENU, 0, 0));
      EndMenu();
      return true;
    });
    // A label lets the mouse through to its parent, as the system's hit test does.
    HWND target = ClassName(H(name)) == "Static" ? Main() : H(name);
    POINT p{2, 2};
    if (target == Main()) {
      RECT r;
      GetWindowRect(H(name), &r);
      p = {r.left + 2, r.top + 2};
      ScreenToClient(Main(), &p);
    }
    PostMessageA(target, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(p.x, p.y));
    PostMessageA(target, WM_RBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    for (int i = 0; i < 100 && !shown; ++i) {
      App().ProcessMessages();
      Sleep(10);
    }
    EXPECT_EQ(shown, Form().PopupMenu());
  }
}

TEST_F(MainWindowKeyboard, PlayOnAnEmptyListShowsTheTopLevelErrorBox) {
  Show();
  std::string title, texts;
  HICON icon = nullptr;
  bool ok = false, yes = false;
  harness::Ticker ticker([&] {
    HWND box = harness::FindMessageBox();
    if (!box) return false;
    title = Text(box);
    texts = harness::MessageBoxTexts(box);
    HWND iconStatic = GetDlgItem(box, 1088);  // the message box's icon
    if (iconStatic) icon = reinterpret_cast<HICON>(SendMessageA(iconStatic, STM_GETICON, 0, 0));
    ok = GetDlgItem(box, IDOK) && IsWindowVisible(GetDlgItem(box, IDOK));
    yes = GetDlgItem(box, IDYES) && IsWindowVisible(GetDlgItem(box, IDYES));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return true;
  });
  SendMessageA(H("btnPlaySound"), BM_CLICK, 0, 0);
  EXPECT_EQ(title, "Brimvale");
  EXPECT_EQ(texts, Ansi("ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています.") + "|");
  EXPECT_TRUE(ok);
  EXPECT_FALSE(yes);
  EXPECT_NE(icon, nullptr);
  EXPECT_EQ(icon, LoadIcon(nullptr, IDI_HAND));
  // The loop goes on: the window still answers.
  EXPECT_TRUE(IsWindowVisible(Main()));
}

TEST_F(MainWindowKeyboard, OptionsDialogIsModalAndEnterKeepsWhatEscapeDiscards) {
  Show();
  auto& dialog = static_cast<win32::Win32Form&>(options->form());
  // Enter presses OK, which keeps the choice; Esc presses Cancel, which reloads the saved one.
  const struct {
    WPARAM key;
    int choice;
    int after;
  } cases[] = {{VK_RETURN, 3, 3}, {VK_ESCAPE, 5, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.choice);
    bool ownerDisabled = false, seen = false;
    std::string title;
    harness::Ticker ticker([&] {
      if (!IsWindowVisible(dialog.hwnd())) return false;
      seen = true;
      title = Text(dialog.hwnd());
      ownerDisabled = !IsWindowEnabled(Main());
      SendMessageA(dialog.ControlHwnd("cboBitRate"), CB_SETCURSEL, static_cast<WPARAM>(c.choice), 0);
      PostMessageA(GetFocus(), WM_KEYDOWN, c.key, 0);
      return true;
    });
    SendMessageA(H("btnOption"), BM_CLICK, 0, 0);
    EXPECT_TRUE(seen);
    EXPECT_EQ(title, Ansi("エンコードオプション"));
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(Main()));
    EXPECT_FALSE(IsWindowVisible(dialog.hwnd()));
    EXPECT_EQ(options->BitRateIndex(), c.after);
    EXPECT_NE(harness::ReadAll(iniPath).find("BitRate=" + std::to_string(c.after)), std::string::npos);
  }
}

// A drop as the shell makes it: a DROPFILES block in global memory with ANSI names.
HGLOBAL MakeDrop(const std::vector<std::string>& names) {
  size_t size = sizeof(DROPFILES) + 1;
  for (const std::string& n : names) size += n.size() + 1;
  HGLOBAL h = GlobalAlloc(GHND, size);
  auto* df = static_cast<DROPFILES*>(GlobalLock(h));
  df->pFiles = sizeof(DROPFILES);
  df->fWide = FALSE;
  char* p = reinterpret_cast<char*>(df + 1);
  for (const std::string& n : names) {
    memcpy(p, n.c_str(), n.size() + 1);
    p += n.size() + 1;
  }
  *p = '\0';
  GlobalUnlock(h);
  return h;
}

class MainWindowDrop : public harness::MainWindow {};

TEST_F(MainWindowDrop, DroppedNamesAreAppendedInOrderAndWhole) {
  Show();
  List().Append("C:\\first.wav");
  // A name of 300 bytes with double-byte characters (some with 0x5C as their second byte).
  std::string longName = "C:\\" + Ansi("長い名前のフォルダ表示") + "\\";
  while (longName.size() < 296) longName += "x";
  longName += ".wav";
  ASSERT_GT(longName.size(), 254u);
  const std::vector<std::string> names{"C:\\music\\a.wav", longName, "C:\\music\\" + Ansi("曲") + "\\folder",
                                       "C:\\music\\a.wav"};
  HGLOBAL drop = MakeDrop(names);
  SendMessageA(Main(), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
  std::vector<std::string> expected{"C:\\first.wav"};
  expected.insert(expected.end(), names.begin(), names.end());
  EXPECT_EQ(Items(), expected);
}

}  // namespace
