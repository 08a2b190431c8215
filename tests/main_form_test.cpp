// The main window on the headless front end, with real processes of the
// stand-in encoder.
#include <gtest/gtest.h>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/main_form.h"
#include "platform/posix/posix.h"
#include "settings/profile.h"
#include "support/doubles.h"
#include "ui/headless/headless.h"

namespace {

using ui::headless::HeadlessApp;
using ui::headless::HeadlessForm;

using testdoubles::MemoryStore;
using testdoubles::NoFolders;
using testdoubles::RecordingVerb;

// A folder browser that opens, moves its selection once and ends as told.
class ScriptedBrowser : public widgets::FolderBrowserPort {
 public:
  bool Available() override { return true; }
  bool Browse(const Request& r, Callback& cb, std::string& chosen) override {
    requests.push_back(r);
    cb.Notice(9, widgets::BFFM_INITIALIZED, nullptr);
    if (answer) cb.Notice(9, widgets::BFFM_SELCHANGED, &*answer);
    chosen = answer.value_or("");
    return answer.has_value();
  }
  void SetSelection(intptr_t, const std::string&) override {}
  void SetStatusText(intptr_t, const std::string&) override {}
  std::optional<std::string> answer;
  std::vector<Request> requests;
};

struct Record {
  long long start = 0, end = -1;
  std::vector<std::string> args;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// Children of this process that have not been reaped.
std::string ChildProcesses() {
  std::string all;
  DIR* d = opendir("/proc/self/task");
  while (dirent* e = d ? readdir(d) : nullptr) {
    if (e->d_name[0] == '.') continue;
    all += ReadFile(std::string("/proc/self/task/") + e->d_name + "/children");
  }
  if (d) closedir(d);
  return all;
}

class MainForm : public ::testing::Test {
 protected:
  MainForm() {
    char tmpl[] = "/tmp/brimvale-test-XXXXXX";
    dir = mkdtemp(tmpl);
    log = dir + "/log";
    setenv("BRIMVALE_TEST_LOG", log.c_str(), 1);
    for (const char* v : {"BRIMVALE_TEST_SLEEP_MS", "BRIMVALE_TEST_EXIT", "BRIMVALE_TEST_FAIL_IF"}) unsetenv(v);
    app.SetTitle("Brimvale");
    main.SetDialogs(&about, &options);
    main.form().Get<ui::Control>("edtOggPath").SetText(TEST_ENCODER);
    options.SetBitRateIndex(1);
    form().Show();
  }
  ~MainForm() override {
    std::string cmd = "rm -rf '" + dir + "'";
    (void)!std::system(cmd.c_str());
  }

  HeadlessForm& form() { return static_cast<HeadlessForm&>(main.form()); }
  ui::ListBox& list() { return main.form().Get<ui::ListBox>("lstSrcFile"); }
  ui::Control& ctl(const std::string& n) { return main.form().Get<ui::Control>(n); }
  std::vector<std::string> Items() {
    std::vector<std::string> v;
    for (int i = 0; i < list().Count(); ++i) v.push_back(list().Item(i));
    return v;
  }
  void Fill(const std::vector<std::string>& names) {
    for (const auto& n : names) list().Append(n);
  }
  std::string Src(const std::string& name) { return dir + "/" + name; }

  std::vector<Record> Records() {
    std::vector<Record> out;
    std::istringstream in(ReadFile(log));
    std::string word;
    while (in >> word) {
      if (word == "start") {
        out.emplace_back();
        in >> out.back().start;
      } else if (word == "end") {
        in >> out.back().end;
      } else if (word == "arg") {
        size_t n;
        in >> n;
        in.get();
        std::string a(n, '\0');
        in.read(&a[0], static_cast<std::streamsize>(n));
        out.back().args.push_back(a);
      }
    }
    return out;
  }
  settings::Profile Saved() { return settings::Profile(store.content.value_or("")); }

  std::string dir, log;
  HeadlessApp app;
  posix::PosixProcess proc;
  posix::PosixFileSystem fs;
  MemoryStore store;
  RecordingVerb verb;
  ScriptedBrowser browser;
  app::Services services{app, proc, fs, store, verb, browser, encode::Traits::Posix(), {}};
  app::TOggEncodeF main{services};
  app::TAboutF about{app};
  app::TEncodeOptionF options{app};
};

TEST_F(MainForm, ThreeEntriesRunStrictlyOneAfterAnother) {
  setenv("BRIMVALE_TEST_SLEEP_MS", "150", 1);
  Fill({Src("a.wav"), Src("b c.mp3"), Src("日本語.wav")});
  std::vector<std::string> shown;
  bool progressView = false;
  app.onPump = [&] {
    const std::string s = ctl("lblNowCount").Text() + "/" + ctl("lblTotalCount").Text();
    if (shown.empty() || shown.back() != s) shown.push_back(s);
    progressView = main.form().ClientWidth() == 301 && main.form().ClientHeight() == 60 &&
                   ctl("pnlProgress").Visible() && ctl("pnlProgress").Bounds() == ui::Rect{0, 0, 301, 61};
  };
  form().Click("btnStartEncode");

  const auto records = Records();
  ASSERT_EQ(records.size(), 3u);
  const std::vector<std::string> names = {"a", "b c", "日本語"};
  const std::vector<std::string> exts = {".wav", ".mp3", ".wav"};
  for (size_t i = 0; i < 3; ++i) {
    const std::vector<std::string> expected = {TEST_ENCODER, "-b", "128", Src(names[i] + exts[i]),
                                               "--output=" + Src(names[i] + ".ogg")};
    EXPECT_EQ(records[i].args, expected);
    ASSERT_GE(records[i].end, records[i].start);
    if (i > 0) EXPECT_LE(records[i - 1].end, records[i].start) << "two encoders ran at once";
    EXPECT_TRUE(Exists(Src(names[i] + ".ogg")));
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"1/3", "2/3", "3/3"}));
  EXPECT_TRUE(progressView);
  EXPECT_EQ(list().Count(), 0);
  EXPECT_EQ(main.form().ClientWidth(), 489);
  EXPECT_EQ(main.form().ClientHeight(), 225);
  EXPECT_FALSE(ctl("pnlProgress").Visible());
  EXPECT_EQ(Saved().ReadInteger("List", "Count", -1), 0);
  EXPECT_TRUE(app.messages.empty());
  EXPECT_EQ(ChildProcesses(), "");
}

TEST_F(MainForm, StopDuringTheSecondFileKeepsEveryEntryAndDeletesThePartialOutput) {
  // The first encoder ends at once; the ones after it run until they are stopped.
  setenv("BRIMVALE_TEST_SLEEP_MS", "0", 1);
  Fill({Src("a.wav"), Src("b.wav"), Src("c.wav")});
  int stopClicks = 0;
  app.onPump = [&] {
    if (ctl("lblNowCount").Text() == "1") setenv("BRIMVALE_TEST_SLEEP_MS", "20000", 1);
    if (ctl("lblNowCount").Text() != "2" || stopClicks) return;
    // Poll again at once until the second encoder has begun its output.
    if (Records().size() < 2 || !Exists(Src("b.ogg"))) return app.Post([] {});
    ++stopClicks;
    form().Click("btnStopEncode");
  };
  form().Click("btnStartEncode");

  EXPECT_EQ(stopClicks, 1);
  const auto records = Records();
  ASSERT_EQ(records.size(), 2u) << "no file follows a stop";
  EXPECT_GE(records[0].end, 0);
  EXPECT_EQ(records[1].end, -1) << "the second encoder was terminated";
  EXPECT_EQ(Items(), (std::vector<std::string>{Src("a.wav"), Src("b.wav"), Src("c.wav")}));
  EXPECT_TRUE(Exists(Src("a.ogg")));
  EXPECT_FALSE(Exists(Src("b.ogg"))) << "a stopped encoder's output is deleted";
  EXPECT_EQ(main.form().ClientWidth(), 489);
  EXPECT_FALSE(ctl("pnlProgress").Visible());
  EXPECT_EQ(Saved().ReadInteger("List", "Count", -1), 3);
  EXPECT_EQ(ChildProcesses(), "");
  EXPECT_TRUE(app.messages.empty());
}

TEST_F(MainForm, StartFailureShowsTheMessageKeepsTheListAndSavesNothing) {
  Fill({Src("a.wav"), Src("b.wav"), Src("c.wav")});
  app.onPump = [&] {
    if (ctl("lblNowCount").Text() == "2") ctl("edtOggPath").SetText(dir + "/missing-encoder");
  };
  form().Click("btnStartEncode");

  EXPECT_EQ(app.messages, std::vector<std::string>{"Ogg Vorbis Encoderが実行できませんでした。"});
  EXPECT_EQ(Records().size(), 2u);
  EXPECT_TRUE(Exists(Src("a.ogg")));
  EXPECT_TRUE(Exists(Src("b.ogg")));
  EXPECT_EQ(list().Count(), 3);
  EXPECT_EQ(main.form().ClientWidth(), 489);
  EXPECT_FALSE(ctl("pnlProgress").Visible());
  EXPECT_EQ(store.writes, 0);
}

TEST_F(MainForm, FailedEntriesStayInTheListAndAreReported) {
  setenv("BRIMVALE_TEST_FAIL_IF", "bad", 1);
  Fill({Src("a.wav"), Src("bad1.wav"), Src("c.wav"), Src("self.ogg"), Src("bad2.wav"), Src("silent.wav")});
  app.onPump = [&] {
    // The encoder started after the fifth entry ends with code 0 but writes nothing.
    if (ctl("lblNowCount").Text() == "5") setenv("BRIMVALE_TEST_NO_OUTPUT", "1", 1);
  };
  form().Click("btnStartEncode");
  unsetenv("BRIMVALE_TEST_NO_OUTPUT");

  EXPECT_EQ(Records().size(), 5u) << "an entry that is its own output is not encoded";
  EXPECT_EQ(Items(), (std::vector<std::string>{Src("bad1.wav"), Src("self.ogg"), Src("bad2.wav"), Src("silent.wav")}));
  ASSERT_EQ(app.messages.size(), 1u);
  EXPECT_NE(app.messages[0].find("4"), std::string::npos);
  EXPECT_NE(app.messages[0].find(Src("bad1.wav")), std::string::npos);
  EXPECT_EQ(Saved().ReadInteger("List", "Count", -1), 4);
}

TEST_F(MainForm, EntriesAddedAndRemovedDuringARunAreSeenByIt) {
  setenv("BRIMVALE_TEST_SLEEP_MS", "100", 1);
  Fill({Src("a.wav"), Src("b.wav"), Src("c.wav")});
  bool edited = false;
  app.onPump = [&] {
    if (!edited && ctl("lblNowCount").Text() == "1") {
      edited = true;
      form().Drop({Src("d.wav")});
      list().SetSelected(2, true);
      form().Click("btnDelList");
    }
  };
  form().Click("btnStartEncode");

  const auto records = Records();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[2].args[3], Src("d.wav"));
  EXPECT_EQ(ctl("lblTotalCount").Text(), "3");
  EXPECT_EQ(list().Count(), 0);
}

TEST_F(MainForm, CloseRequestDuringARunStopsItAndKeepsTheWindowOpen) {
  setenv("BRIMVALE_TEST_SLEEP_MS", "20000", 1);
  Fill({Src("a.wav"), Src("b.wav")});
  bool asked = false;
  app.onPump = [&] {
    if (asked) return;
    if (Records().size() < 1) return app.Post([] {});
    asked = true;
    main.form().Close();
  };
  form().Click("btnStartEncode");

  EXPECT_FALSE(form().Closed());
  EXPECT_EQ(Records().size(), 1u);
  EXPECT_EQ(list().Count(), 2);
  EXPECT_FALSE(ctl("pnlProgress").Visible());
  EXPECT_EQ(store.writes, 2) << "saved by the close request and by the end of the run";
  EXPECT_FALSE(Exists(Src("a.ogg")));
  main.form().Close();
  EXPECT_TRUE(form().Closed());
}

TEST_F(MainForm, StartDuringARunDoesNothing) {
  setenv("BRIMVALE_TEST_SLEEP_MS", "100", 1);
  Fill({Src("a.wav"), Src("b.wav")});
  int clicks = 0;
  app.onPump = [&] {
    if (clicks < 3) {
      ++clicks;
      form().Click("btnStartEncode");
      form().Menu("K4");
    }
  };
  form().Click("btnStartEncode");
  const auto records = Records();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_LE(records[0].end, records[1].start);
  EXPECT_EQ(store.writes, 1);
}

TEST_F(MainForm, EmptyListStillCreatesTheOutputFolderAndSaves) {
  ctl("edtOutputDir").SetText(dir + "/out/sub/");
  form().Click("btnStartEncode");
  EXPECT_TRUE(Exists(dir + "/out/sub"));
  EXPECT_EQ(Records().size(), 0u);
  EXPECT_EQ(store.writes, 1);
  EXPECT_EQ(main.form().ClientWidth(), 489);
  // The window passed through the Progress view and back.
  EXPECT_EQ(form().States().size(), 4u);
}

TEST_F(MainForm, OutputFolderAndLeadingDashReachTheEncoder) {
  ASSERT_EQ(chdir(dir.c_str()), 0);
  ctl("edtOutputDir").SetText(dir + "/out/");
  options.SetBitRateIndex(0);
  options.SetRawMode(true);
  Fill({"-dash.wav", Src("x.y/track")});
  form().Click("btnStartEncode");
  const auto records = Records();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].args, (std::vector<std::string>{TEST_ENCODER, "-r", "./-dash.wav",
                                                         "--output=" + dir + "/out/-dash.ogg"}));
  EXPECT_EQ(records[1].args.back(), "--output=" + dir + "/out/track.ogg");
  EXPECT_TRUE(Exists(dir + "/out/-dash.ogg"));
}

TEST_F(MainForm, OldEncoderWarning) {
  ctl("edtOggPath").SetText(dir + "/ogglame");
  Fill({Src("a.wav")});
  app.messageBoxAnswers = {ui::IDNO};
  form().Click("btnStartEncode");
  ASSERT_EQ(app.messageBoxes.size(), 1u);
  EXPECT_EQ(app.messageBoxes[0].caption, "警告");
  EXPECT_EQ(app.messageBoxes[0].flags, 0x14u);
  EXPECT_EQ(app.messageBoxes[0].text,
            "Ogg Vorbisエンコーダのバージョンが古いため\n正常にエンコード出来ない可能性があります。\n続けますか？");
  EXPECT_EQ(store.writes, 0);
  EXPECT_TRUE(form().States().empty()) << "No leaves the window as it was";
  EXPECT_EQ(list().Count(), 1);

  app.messageBoxAnswers = {ui::IDYES};
  form().Click("btnStartEncode");
  EXPECT_EQ(app.messages, std::vector<std::string>{"Ogg Vorbis Encoderが実行できませんでした。"});
}

TEST_F(MainForm, DeleteRemovesExactlyTheSelection) {
  Fill({"1", "2", "3", "4", "5", "6"});
  form().Click("btnDelList");
  EXPECT_EQ(list().Count(), 6);
  for (int i : {1, 2, 4}) list().SetSelected(i, true);
  form().Menu("K2");
  EXPECT_EQ(Items(), (std::vector<std::string>{"1", "4", "6"}));
  form().Menu("K3");
  EXPECT_EQ(list().Count(), 0);
}

TEST_F(MainForm, PlayOpensTheCurrentEntryOrReportsTheIndexError) {
  form().Click("btnPlaySound");
  EXPECT_EQ(app.errors, std::vector<std::string>{"ﾘｽﾄのｲﾝﾃﾞｯｸｽが範囲を超えています."});
  EXPECT_TRUE(app.opened.empty());
  Fill({"a.wav", "b.wav", "c.wav"});
  list().SetSelected(2, true);
  form().Click("lstSrcFile");
  list().SetItemIndex(1);
  form().Menu("K5");
  EXPECT_EQ(app.opened, (std::vector<std::string>{"a.wav", "b.wav"}));
}

TEST_F(MainForm, AddAndDropAppendInOrder) {
  app.openFileAnswers.push_back({false, {}});
  app.openFileAnswers.push_back({true, {"/m/a.wav", "/m/b.wav", "/m/a.wav"}});
  Fill({"/m/a.wav"});
  form().Click("btnAddList");
  form().Menu("K1");
  ASSERT_EQ(app.openFileRequests.size(), 2u);
  EXPECT_TRUE(app.openFileRequests[0].multiSelect);
  EXPECT_EQ(app.openFileRequests[0].filter,
            "WAV・MP3ファイル (*.wav;*.mp3)|*.wav;*.mp3|WAVファイル (*.wav)|*.wav|"
            "MP3ファイル (*.mp3)|*.mp3|すべてのファイル (*.*)|*.*");
  form().Drop({"/m/folder", "/m/c.wav"});
  EXPECT_EQ(Items(), (std::vector<std::string>{"/m/a.wav", "/m/a.wav", "/m/b.wav", "/m/a.wav", "/m/folder", "/m/c.wav"}));
  EXPECT_EQ(form().dropFinishCount, 1);
}

TEST_F(MainForm, AFullListStopsTheDropButReleasesIt) {
  app.listCapacity = 2;
  form().Drop({"a", "b", "c", "d"});
  EXPECT_EQ(Items(), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(app.errors, std::vector<std::string>{"行を挿入できません."});
  EXPECT_EQ(form().dropFinishCount, 1);
}

TEST_F(MainForm, EncoderDialogReplacesThePathOnlyWhenConfirmed) {
  ctl("edtOggPath").SetText("");
  app.openFileAnswers.push_back({false, {}});
  form().Click("btnBrowseOgg");
  EXPECT_EQ(ctl("edtOggPath").Text(), "");
  app.openFileAnswers.push_back({true, {"/opt/ogglame.exe"}});
  form().Click("btnBrowseOgg");
  EXPECT_EQ(ctl("edtOggPath").Text(), "/opt/ogglame.exe");
  EXPECT_FALSE(app.openFileRequests[0].multiSelect);
  EXPECT_EQ(app.openFileRequests[0].defaultExt, "exe");
  EXPECT_TRUE(app.messageBoxes.empty()) << "the warning comes only with Start";

  browser.answer = std::nullopt;
  ctl("edtOutputDir").SetText("/keep");
  form().Click("btnBrowseOutputDir");
  EXPECT_EQ(ctl("edtOutputDir").Text(), "/keep");
  browser.answer = "/chosen";
  form().Click("btnBrowseOutputDir");
  EXPECT_EQ(ctl("edtOutputDir").Text(), "/chosen");
  ASSERT_EQ(browser.requests.size(), 2u);
  // The main window's folder dialog keeps every property at its default.
  EXPECT_EQ(browser.requests[0].flags, 0x0001u);
  EXPECT_EQ(browser.requests[0].rootDir, "");
  EXPECT_EQ(browser.requests[0].title, "");
}

TEST_F(MainForm, PathsInMessagesAreConvertedToTheMessagesText) {
  app.toUtf8Marker = "@";
  store.refuse = true;
  EXPECT_THROW(
      try { main.SaveSettings(); } catch (const ui::Error& e) {
        EXPECT_STREQ(e.what(), "@/cfg/brimvale.ini に書き込めません");
        throw;
      },
      ui::Error);
  setenv("BRIMVALE_TEST_EXIT", "1", 1);
  Fill({Src("a.wav")});
  store.refuse = false;
  form().Click("btnStartEncode");
  ASSERT_EQ(app.messages.size(), 1u);
  EXPECT_NE(app.messages[0].find("\n@" + Src("a.wav")), std::string::npos) << app.messages[0];
}

TEST_F(MainForm, CloseWithUnwritableSettingsIsRefusedOnce) {
  store.refuse = true;
  form().Click("btnExit");
  EXPECT_FALSE(form().Closed());
  EXPECT_EQ(app.errors, std::vector<std::string>{"/cfg/brimvale.ini に書き込めません."});
  main.form().Close();
  EXPECT_TRUE(form().Closed());
  EXPECT_EQ(app.errors.size(), 2u);
}

TEST_F(MainForm, OptionsDialogSavesAroundItAndCancelRestores) {
  auto& dialog = static_cast<HeadlessForm&>(options.form());
  options.SetBitRateIndex(2);
  dialog.onShowModal = [&](HeadlessForm& f) {
    options.SetBitRateIndex(3);
    f.Click("btnCancel");
    return ui::mrNone;
  };
  form().Click("btnOption");
  EXPECT_EQ(options.BitRateIndex(), 2);
  EXPECT_EQ(store.writes, 1);

  dialog.onShowModal = [&](HeadlessForm& f) {
    options.SetShellExt(true);
    f.Click("btnOk");
    return ui::mrNone;
  };
  form().Click("btnOption");
  EXPECT_EQ(store.writes, 3);
  EXPECT_EQ(verb.calls, (std::vector<std::string>{"unregister", "unregister", "register"}));
  EXPECT_EQ(Saved().ReadInteger("Option", "ShellExt", 0), 1);
}

TEST_F(MainForm, AboutBoxShowsItsHeadingsAndLinks) {
  auto& box = static_cast<HeadlessForm&>(about.form());
  auto& heading = box.Get<ui::ExLabelControl>("ExLabel1").Label();
  EXPECT_EQ(heading.caption, "Brimvale");
  EXPECT_TRUE(heading.Font3D());
  EXPECT_EQ(heading.BackFont(), widgets::clWhite);
  EXPECT_EQ(heading.alignment, widgets::taCenter);
  EXPECT_EQ(box.Get<ui::ExLabelControl>("ExLabel2").Label().caption, "Version 1.01");
  auto& link = box.Get<ui::UrlLabelControl>("ProUrlLabel1").Link();
  EXPECT_EQ(link.Color(), widgets::clBlue);

  int showings = 0;
  box.onShowModal = [&](HeadlessForm& f) {
    ++showings;
    link.MouseDown();
    link.MouseUp(500, 5);  // released outside: nothing opens
    link.MouseDown();
    link.MouseUp(3, 3);
    f.Get<ui::UrlImageControl>("ProUrlImage1").Image().Click();
    f.Click("Button1");
    return ui::mrNone;
  };
  form().Click("btnAbout");
  EXPECT_EQ(app.openedUrls, (std::vector<std::string>{"mailto:info@example.org", "https://brimvale.example.org/"}));
  EXPECT_FALSE(box.Visible());
  box.onShowModal = [&](HeadlessForm&) {
    ++showings;
    return ui::mrCancel;  // the close box
  };
  form().Click("btnAbout");
  EXPECT_EQ(showings, 2);
  EXPECT_EQ(link.Color(), widgets::clNavy) << "the link stays visited";
}

TEST(MainFormStartup, SavedEntriesComeFirstThenTheArguments) {
  HeadlessApp app;
  posix::PosixProcess proc;
  posix::PosixFileSystem fs;
  MemoryStore store;
  store.content = "[List]\nCount=2\n0=/m/saved.wav\n1=/m/arg.wav\n";
  RecordingVerb verb;
  NoFolders folders;
  app::Services s{app, proc, fs, store, verb, folders, encode::Traits::Posix(), {"/m/arg.wav", "-x"}};
  app::TOggEncodeF main(s);
  app::TAboutF about(app);
  app::TEncodeOptionF options(app);
  main.SetDialogs(&about, &options);
  app.Run(main.form());
  auto& list = main.form().Get<ui::ListBox>("lstSrcFile");
  std::vector<std::string> items;
  for (int i = 0; i < list.Count(); ++i) items.push_back(list.Item(i));
  EXPECT_EQ(items, (std::vector<std::string>{"/m/saved.wav", "/m/arg.wav", "/m/arg.wav", "-x"}));
  EXPECT_EQ(main.form().Get<ui::Control>("edtOggPath").Text(), "oggenc");
  EXPECT_EQ(options.BitRateIndex(), 1);
  EXPECT_TRUE(options.HideConsole());
  EXPECT_FALSE(options.ShellExt());
  EXPECT_EQ(store.writes, 0) << "nothing is saved at start-up";
}

// Settings written by one save and read by the next load.
TEST_F(MainForm, SettingsRoundTrips) {
  struct Case {
    std::string file;
    std::vector<std::string> items;
    int bitRate;
    bool raw, hide;
  };
  const Case cases[] = {
      {"", {}, 1, false, true},
      {"[List]\nCount=2\n0=a\n1=b\n2=c\n3=d\n4=e\n", {"a", "b"}, 1, false, true},
      {"[List]\nCount=3\n0=a\n2=c\n", {"a", "", "c"}, 1, false, true},
      {"[List]\nCount=-1\n0=a\n", {}, 1, false, true},
      {"[List]\nCount=x\n0=a\n", {}, 1, false, true},
      {"[Option]\nBitRate=7\nRawMode=2\nHideConsole=zz\n", {}, -1, true, true},
      {"[Option]\nBitRate=0x3\nRawMode=-1\nHideConsole=0\n", {}, 3, true, false},
      {"[Option]\nRawMode=\n", {}, 1, false, true},
      {"[List]\nCount=1\n0=  \"C:\\a b.wav\"  \n", {"C:\\a b.wav"}, 1, false, true},
  };
  for (const Case& c : cases) {
    store.content = c.file;
    main.LoadSettings();
    EXPECT_EQ(Items(), c.items) << c.file;
    EXPECT_EQ(options.BitRateIndex(), c.bitRate) << c.file;
    EXPECT_EQ(options.RawMode(), c.raw) << c.file;
    EXPECT_EQ(options.HideConsole(), c.hide) << c.file;
    main.SaveSettings();
    const auto saved = Saved();
    EXPECT_EQ(saved.ReadInteger("Option", "BitRate", 99), c.bitRate) << c.file;
    EXPECT_EQ(saved.ReadInteger("List", "Count", 99), static_cast<int>(c.items.size())) << c.file;
    main.LoadSettings();
    EXPECT_EQ(Items(), c.items) << "reloaded " << c.file;
  }
  // Keys above Count and foreign sections stay in the file.
  store.content = "[List]\nCount=5\n0=a\n1=b\n2=c\n3=d\n4=e\n[Mine]\nk=v\n";
  main.LoadSettings();
  list().Delete(4);
  list().Delete(3);
  list().Delete(2);
  main.SaveSettings();
  EXPECT_EQ(Saved().ReadString("List", "4", ""), "e");
  EXPECT_EQ(Saved().ReadString("Mine", "k", ""), "v");
  EXPECT_EQ(Saved().ReadInteger("List", "Count", 0), 2);
}

// Hostile file names reach the encoder as exactly one argument each, with no shell between.
TEST_F(MainForm, HostileNamesArriveAsOneArgumentEach) {
  ASSERT_EQ(chdir(dir.c_str()), 0);
  const std::vector<std::string> pieces = {"\"", "'", "$(touch pwned)", "`touch pwned`", "-", "--output=x",
                                           "\n", "\xff\xfe", " ", ";", "|", "&", "*", "?", "\\", "日本", "%1", "\t"};
  std::vector<std::string> names;
  for (int i = 0; i < 10000; ++i) {
    std::string n = (i % 3 == 0 ? "" : dir + "/");
    n += pieces[i % pieces.size()] + std::to_string(i) + pieces[(i / pieces.size()) % pieces.size()] + ".wav";
    names.push_back(n);
  }
  Fill(names);
  form().Click("btnStartEncode");
  const auto records = Records();
  ASSERT_EQ(records.size(), names.size());
  for (size_t i = 0; i < names.size(); ++i) {
    ASSERT_EQ(records[i].args.size(), 5u) << i;
    const std::string expected = names[i][0] == '-' ? "./" + names[i] : names[i];
    ASSERT_EQ(records[i].args[3], expected) << i;
    ASSERT_EQ(records[i].args[4].rfind("--output=", 0), 0u) << i;
  }
  EXPECT_FALSE(Exists(dir + "/pwned"));
  EXPECT_EQ(list().Count(), 0);
}

TEST_F(MainForm, AHugeCountIsBounded) {
  store.content = "[List]\nCount=2147483647\n0=a\n";
  main.LoadSettings();
  EXPECT_EQ(list().Count(), 100000);
  EXPECT_EQ(list().Item(0), "a");
}

}  // namespace
