// The batch run on the real window with real processes of the stand-in encoder.
#include "harness.h"

#include <set>

namespace {

using harness::Ansi;
using harness::App;
using harness::EncoderRun;
using harness::Exists;
using harness::ReadLog;
using harness::Text;

class BatchRun : public harness::MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    logPath = dir + "\\encoder.log";
    SetEnvironmentVariableA("BRIMVALE_TEST_LOG", logPath.c_str());
    SetEnvironmentVariableA("BRIMVALE_TEST_SLEEP_MS", nullptr);
    encoder = harness::ExeDir() + "\\test_encoder.exe";
    CreateDirectoryA((dir + "\\" + Ansi("曲")).c_str(), nullptr);
    sources = {dir + "\\a.wav", dir + "\\" + Ansi("曲") + "\\" + Ansi("ソ表") + ".wav", dir + "\\c.d.mp3"};
    outputs = {dir + "\\a.ogg", dir + "\\" + Ansi("曲") + "\\" + Ansi("ソ表") + ".ogg", dir + "\\c.d.ogg"};
    Show();
    main->form().Find("edtOggPath")->SetText(encoder);
    for (const std::string& s : sources) List().Append(s);
  }
  void TearDown() override {
    SetEnvironmentVariableA("BRIMVALE_TEST_LOG", nullptr);
    SetEnvironmentVariableA("BRIMVALE_TEST_SLEEP_MS", nullptr);
    MainWindow::TearDown();
  }
  // Start pressed as a click does; returns when the run's handler has returned.
  void ClickStart() { SendMessageA(H("btnStartEncode"), BM_CLICK, 0, 0); }
  bool ProgressViewShown() {
    const SIZE c = ClientSize();
    RECT p;
    GetWindowRect(H("pnlProgress"), &p);
    MapWindowPoints(nullptr, Main(), reinterpret_cast<POINT*>(&p), 2);
    return c.cx == 301 && c.cy == 60 && IsWindowVisible(H("pnlProgress")) && p.left == 0 && p.top == 0;
  }
  void ExpectFullSizeAndIdle() {
    EXPECT_EQ(ClientSize().cx, 489);
    EXPECT_EQ(ClientSize().cy, 225);
    EXPECT_FALSE(IsWindowVisible(H("pnlProgress")));
  }
  // The process is gone (its id no longer opens, or it has ended with code 0).
  static bool Gone(DWORD pid) {
    HANDLE h = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!h) return true;
    DWORD code = 1;
    const bool ended = WaitForSingleObject(h, 0) == WAIT_OBJECT_0 && GetExitCodeProcess(h, &code) && code == 0;
    CloseHandle(h);
    return ended;
  }

  std::string logPath, encoder;
  std::vector<std::string> sources, outputs;
};

TEST_F(BatchRun, ThreeFilesRunOneAfterAnotherWithTheWindowsCommandLinesAndStartupRecord) {
  const struct {
    bool hide;
    bool bareName;  // the encoder named without a folder is found beside the program
    unsigned show;
  } cases[] = {{true, false, SW_HIDE}, {false, true, SW_SHOW}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.hide ? "hide console" : "show console");
    DeleteFileA(logPath.c_str());
    if (List().Count() == 0) {
      for (const std::string& s : sources) List().Append(s);
    }
    options->SetHideConsole(c.hide);
    const std::string enc = c.bareName ? "test_encoder.exe" : encoder;
    main->form().Find("edtOggPath")->SetText(enc);
    SetEnvironmentVariableA("BRIMVALE_TEST_SLEEP_MS", "300");

    std::set<std::pair<std::string, std::string>> counts;
    bool progressSeen = false;
    harness::Ticker ticker([&] {
      if (ProgressViewShown()) {
        progressSeen = true;
        counts.insert({Text(H("lblNowCount")), Text(H("lblTotalCount"))});
      }
      return false;
    });
    ClickStart();

    const std::vector<EncoderRun> runs = ReadLog(logPath);
    ASSERT_EQ(runs.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
      SCOPED_TRACE(i);
      EXPECT_EQ(runs[i].commandLine,
                "\"" + enc + "\" -b 128  \"" + sources[i] + "\" --output=\"" + outputs[i] + "\"");
      EXPECT_EQ(runs[i].flags, 0x41u);
      EXPECT_EQ(runs[i].show, c.show);
      EXPECT_TRUE(Exists(outputs[i]));
      EXPECT_NE(runs[i].end, -1);
      // Never two at a time: each starts after the one before has ended.
      if (i > 0) {
        EXPECT_GE(runs[i].start, runs[i - 1].end);
      }
    }
    EXPECT_TRUE(progressSeen);
    EXPECT_EQ(counts, (std::set<std::pair<std::string, std::string>>{{"1", "3"}, {"2", "3"}, {"3", "3"}}));
    ExpectFullSizeAndIdle();
    EXPECT_EQ(List().Count(), 0);
    EXPECT_NE(harness::ReadAll(iniPath).find("Count=0"), std::string::npos);
    for (const std::string& o : outputs) DeleteFileA(o.c_str());
  }
}

TEST_F(BatchRun, StopTerminatesTheRunningEncoderAndKeepsTheList) {
  // Stop by its button, and by its accelerator Alt+S while the Progress view shows.
  for (bool byKey : {false, true}) {
    SCOPED_TRACE(byKey ? "Alt+S" : "button");
    DeleteFileA(logPath.c_str());
    for (const std::string& o : outputs) DeleteFileA(o.c_str());
    // The first encoder runs briefly; the ones started after it would run long.
    SetEnvironmentVariableA("BRIMVALE_TEST_SLEEP_MS", "500");
    harness::Ticker ticker([&] {
      const size_t n = ReadLog(logPath).size();
      if (n == 1) SetEnvironmentVariableA("BRIMVALE_TEST_SLEEP_MS", "20000");
      if (n < 2) return false;
      if (byKey) PostMessageA(GetFocus() ? GetFocus() : Main(), WM_SYSCHAR, 's', 0);
      else SendMessageA(H("btnStopEncode"), BM_CLICK, 0, 0);
      return true;
    });
    ClickStart();
    const std::vector<EncoderRun> runs = ReadLog(logPath);
    ASSERT_EQ(runs.size(), 2u);
    // The first finished; the second was ended before it reached its end.
    EXPECT_NE(runs[0].end, -1);
    EXPECT_EQ(runs[1].end, -1);
    EXPECT_NE(runs[1].pid, 0u);
    EXPECT_TRUE(Gone(runs[1].pid));
    EXPECT_TRUE(Exists(outputs[0]));
    EXPECT_FALSE(Exists(outputs[1]));  // the stopped encoder's output is removed
    EXPECT_EQ(Items(), sources);
    ExpectFullSizeAndIdle();
    EXPECT_NE(harness::ReadAll(iniPath).find("Count=3"), std::string::npos);
  }
}

TEST_F(BatchRun, CloseRequestDuringARunStopsItAndKeepsTheWindowOpen) {
  const UINT requests[] = {WM_CLOSE, WM_QUERYENDSESSION};
  for (UINT request : requests) {
    SCOPED_TRACE(request == WM_CLOSE ? "WM_CLOSE" : "WM_QUERYENDSESSION");
    DeleteFileA(logPath.c_str());
    DeleteFileA(iniPath.c_str());
    SetEnvironmentVariableA("BRIMVALE_TEST_SLEEP_MS", "20000");
    LRESULT answer = -1;
    harness::Ticker ticker([&] {
      if (ReadLog(logPath).empty()) return false;
      if (request == WM_CLOSE) PostMessageA(Main(), WM_CLOSE, 0, 0);
      else answer = SendMessageA(Main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
      return true;
    });
    ClickStart();
    const std::vector<EncoderRun> runs = ReadLog(logPath);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].end, -1);
    EXPECT_NE(runs[0].pid, 0u);
    EXPECT_TRUE(Gone(runs[0].pid));
    if (request == WM_QUERYENDSESSION) {
      EXPECT_EQ(answer, FALSE);
    }
    EXPECT_TRUE(IsWindow(Main()));
    EXPECT_TRUE(IsWindowVisible(Main()));
    EXPECT_FALSE(Form().Closed());
    EXPECT_EQ(Items(), sources);
    ExpectFullSizeAndIdle();
    EXPECT_NE(harness::ReadAll(iniPath).find("Count=3"), std::string::npos);
  }
  // Idle, the log-off query is answered yes after the settings were saved.
  DeleteFileA(iniPath.c_str());
  EXPECT_NE(SendMessageA(Main(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), FALSE);
  EXPECT_TRUE(Exists(iniPath));
}

TEST_F(BatchRun, NoToTheOgglameWarningChangesNothing) {
  main->form().Find("edtOggPath")->SetText("C:\\tools\\ogglame.exe");
  std::string title, texts;
  bool yes = false, no = false, ok = false;
  harness::Ticker ticker([&] {
    HWND box = harness::FindMessageBox();
    if (!box) return false;
    title = Text(box);
    texts = harness::MessageBoxTexts(box);
    const auto shown = [&](int id) { return GetDlgItem(box, id) && IsWindowVisible(GetDlgItem(box, id)); };
    yes = shown(IDYES);
    no = shown(IDNO);
    ok = shown(IDOK);
    PostMessageA(box, WM_COMMAND, IDNO, 0);
    return true;
  });
  ClickStart();
  EXPECT_EQ(title, Ansi("警告"));
  EXPECT_NE(texts.find(Ansi("Ogg Vorbisエンコーダのバージョンが古いため\n正常にエンコード出来ない可能性があります。\n"
                            "続けますか？")),
            std::string::npos);
  EXPECT_TRUE(yes);
  EXPECT_TRUE(no);
  EXPECT_FALSE(ok);
  EXPECT_TRUE(ReadLog(logPath).empty());
  EXPECT_EQ(Items(), sources);
  ExpectFullSizeAndIdle();
  EXPECT_FALSE(Exists(iniPath));  // nothing saved
}

TEST_F(BatchRun, AnEncoderThatCannotStartIsReportedAndTheListKept) {
  main->form().Find("edtOggPath")->SetText(dir + "\\missing-encoder.exe");
  std::string title, texts;
  harness::Ticker ticker([&] {
    HWND box = harness::FindMessageBox();
    if (!box) return false;
    title = Text(box);
    texts = harness::MessageBoxTexts(box);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return true;
  });
  ClickStart();
  EXPECT_EQ(title, "Brimvale");
  EXPECT_NE(texts.find(Ansi("Ogg Vorbis Encoderが実行できませんでした。")), std::string::npos);
  EXPECT_EQ(Items(), sources);
  ExpectFullSizeAndIdle();
  EXPECT_FALSE(Exists(iniPath));
}

}  // namespace
