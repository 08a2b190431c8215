// The system's folder browser behind TFolderDialog: it opens from a test, is
// answered with Cancel or OK, and its notices reach the component in order.
#include "harness.h"

#include <shlobj.h>

namespace {

using harness::App;

class FolderBrowser : public harness::MainWindow {
 protected:
  // Runs Execute; once the browser shows, act runs with its window.
  bool Execute(widgets::TFolderDialog& dialog, const std::function<void(HWND)>& act) {
    browserSeen = nullptr;
    harness::Ticker ticker([&] {
      HWND box = harness::FindMessageBox();
      if (!box) return false;
      browserSeen = box;
      act(box);
      return true;
    });
    return dialog.Execute();
  }
  // Records the component's events, with SelectedDir at each.
  void Record(widgets::TFolderDialog& d) {
    d.OnShow = [this](widgets::TFolderDialog& s) { events.push_back("show:" + s.SelectedDir()); };
    d.OnSelectionChange = [this](widgets::TFolderDialog& s) { events.push_back("sel:" + s.SelectedDir()); };
    d.OnClose = [this](widgets::TFolderDialog& s) { events.push_back("close:" + s.SelectedDir()); };
  }
  static std::string Upper(std::string s) {
    CharUpperA(s.data());
    return s;
  }

  HWND browserSeen = nullptr;
  std::vector<std::string> events;
};

TEST_F(FolderBrowser, CancelReturnsFalseWithNoFolderAndCloseRunsOnceAfterShow) {
  Show();
  widgets::TFolderDialog dialog(browser, reinterpret_cast<intptr_t>(Main()), encode::Traits::Windows().path);
  dialog.SetCaption("出力先フォルダ");
  Record(dialog);
  HWND owner = nullptr;
  std::string title;
  const bool chosen = Execute(dialog, [&](HWND box) {
    owner = GetWindow(box, GW_OWNER);
    // The caption is the text above the tree: a static of the browser.
    title = harness::MessageBoxTexts(box);
    PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
  });
  ASSERT_NE(browserSeen, nullptr);
  EXPECT_FALSE(chosen);
  EXPECT_EQ(dialog.SelectedDir(), "");
  EXPECT_EQ(owner, Main());
  EXPECT_NE(title.find(harness::Ansi("出力先フォルダ")), std::string::npos) << title;
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events.front(), "show:");
  EXPECT_EQ(events.back(), "close:");
  EXPECT_EQ(std::count_if(events.begin(), events.end(), [](const std::string& e) { return e.rfind("close", 0) == 0; }),
            1);
  EXPECT_FALSE(dialog.Open());
}

TEST_F(FolderBrowser, APreselectedFolderAndOneSelectedWhileOpenComeBackWithOkAndTheStatusLineFollows) {
  Show();
  const std::string dir = harness::FreshDir();
  const std::string sub = dir + "\\sub";
  CreateDirectoryA(sub.c_str(), nullptr);
  widgets::TFolderDialog dialog(browser, reinterpret_cast<intptr_t>(Main()), encode::Traits::Windows().path);
  dialog.SetStartDir(dir + "\\");  // the setter drops the trailing backslash
  dialog.SetListedFlags(widgets::Flag(widgets::lfReturnOnlyFSDirs) | widgets::Flag(widgets::lfStatusText));
  Record(dialog);
  // Every selection change while open shows the new path in the status line.
  dialog.OnSelectionChange = [this](widgets::TFolderDialog& s) {
    events.push_back("sel:" + s.SelectedDir());
    s.SetStatusText("status " + s.SelectedDir());
  };

  // OK on the preselected folder.
  ASSERT_TRUE(Execute(dialog, [&](HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); }));
  EXPECT_EQ(Upper(dialog.SelectedDir()), Upper(dir));
  // The preselection's own notices come before the open flag is set: only show and close.
  ASSERT_EQ(events.size(), 2u) << ::testing::PrintToString(events);
  EXPECT_EQ(events[0], "show:");
  EXPECT_EQ(Upper(events[1]), Upper("close:" + dir));

  // A selection made while the browser is open: its notice, its status text, and OK.
  events.clear();
  std::string statusSeen;
  ASSERT_TRUE(Execute(dialog, [&](HWND box) {
    SendMessageA(box, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(sub.c_str()));
    statusSeen = harness::MessageBoxTexts(box);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  }));
  EXPECT_EQ(Upper(dialog.SelectedDir()), Upper(sub));
  ASSERT_GE(events.size(), 3u) << ::testing::PrintToString(events);
  // OnShow still sees the folder of the Execute before.
  EXPECT_EQ(Upper(events.front()), Upper("show:" + dir));
  EXPECT_EQ(Upper(events[events.size() - 2]), Upper("sel:" + sub));
  EXPECT_EQ(Upper(events.back()), Upper("close:" + sub));
  EXPECT_NE(Upper(statusSeen).find(Upper("status " + sub)), std::string::npos) << statusSeen;
}

TEST_F(FolderBrowser, AnItemWithoutAFileSystemPathGivesAnEmptyFolderWhileBrowsingAndWhenChosen) {
  Show();
  widgets::TFolderDialog dialog(browser, reinterpret_cast<intptr_t>(Main()), encode::Traits::Windows().path);
  dialog.SetListedFlags(0);  // without lfReturnOnlyFSDirs any item can be chosen
  dialog.SetStartDir(harness::FreshDir());
  Record(dialog);
  LPITEMIDLIST computer = nullptr;
  ASSERT_TRUE(SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer)));
  const bool chosen = Execute(dialog, [&](HWND box) {
    // "My Computer", selected by its item list.
    SendMessageA(box, BFFM_SETSELECTIONA, FALSE, reinterpret_cast<LPARAM>(computer));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
  });
  CoTaskMemFree(computer);
  EXPECT_TRUE(chosen);
  EXPECT_EQ(dialog.SelectedDir(), "");
  ASSERT_GE(events.size(), 3u) << ::testing::PrintToString(events);
  EXPECT_EQ(events[events.size() - 2], "sel:");
  EXPECT_EQ(events.back(), "close:");
}

TEST_F(FolderBrowser, TheOutputFolderButtonPutsTheChosenFolderIntoTheBoxAndCancelKeepsIt) {
  Show();
  const std::string dir = harness::FreshDir();
  main->form().Find("edtOutputDir")->SetText("C:\\before");
  auto click = [&](UINT answer) {
    bool seen = false;
    harness::Ticker ticker([&] {
      HWND box = harness::FindMessageBox();
      if (!box) return false;
      seen = true;
      PostMessageA(box, WM_COMMAND, answer, 0);
      return true;
    });
    SendMessageA(H("btnBrowseOutputDir"), BM_CLICK, 0, 0);
    return seen;
  };
  // The handler sets no start folder; the test preselects one through the component.
  // (OK comes first: under Wine a browser opened after a cancelled one kept the
  // desktop selected in spite of the preselection.)
  main->FolderDialog1().SetStartDir(dir);
  ASSERT_TRUE(click(IDOK));
  EXPECT_EQ(Upper(main->form().Find("edtOutputDir")->Text()), Upper(dir));
  main->form().Find("edtOutputDir")->SetText("C:\\before");
  ASSERT_TRUE(click(IDCANCEL));
  EXPECT_EQ(main->form().Find("edtOutputDir")->Text(), "C:\\before");
}

}  // namespace
