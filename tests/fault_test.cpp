// Settings files and encoders that misbehave: the program goes on, says what
// failed, and loses nothing it holds.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>

#include "app/main_form.h"
#include "platform/posix/posix.h"
#include "support/doubles.h"
#include "ui/headless/headless.h"

namespace {

using testdoubles::NoFolders;
using testdoubles::RecordingVerb;

class Faults : public ::testing::Test {
 protected:
  static std::string MakeDir() {
    char tmpl[] = "/tmp/brimvale-fault-XXXXXX";
    const std::string d = mkdtemp(tmpl);
    mkdir((d + "/cfg").c_str(), 0755);
    return d;
  }
  Faults() {
    unsetenv("BRIMVALE_TEST_LOG");
    main.SetDialogs(&about, &options);
    main.form().Get<ui::Control>("edtOggPath").SetText(TEST_ENCODER);
  }
  ~Faults() override {
    const std::string cmd = "rm -rf '" + dir + "'";
    (void)!std::system(cmd.c_str());
  }
  ui::ListBox& list() { return main.form().Get<ui::ListBox>("lstSrcFile"); }
  void WriteIni(const std::string& content) { std::ofstream(ini, std::ios::binary) << content; }

  std::string dir = MakeDir();
  std::string ini = dir + "/cfg/brimvale.ini";
  ui::headless::HeadlessApp app;
  posix::PosixProcess proc;
  posix::PosixFileSystem fs;
  posix::FileSettingsStore store{ini};
  RecordingVerb verb;
  NoFolders folders;
  app::Services services{app, proc, fs, store, verb, folders, encode::Traits::Posix(), {}};
  app::TOggEncodeF main{services};
  app::TAboutF about{app};
  app::TEncodeOptionF options{app};
};

TEST_F(Faults, BinaryGarbageLoadsAndTheNextSaveReadsBack) {
  std::mt19937 rng(7);
  std::string garbage(1 << 20, '\0');
  for (char& c : garbage) c = static_cast<char>(rng());
  // Some structure for the reader to trip over.
  garbage += "\n[List]\nCount=3\n0=\xff\xfe\n2=" + std::string(5000, '\x81') + "\n";
  WriteIni(garbage);
  main.LoadSettings();
  ASSERT_EQ(list().Count(), 3);
  EXPECT_EQ(list().Item(2).size(), 1023u);
  std::vector<std::string> before;
  for (int i = 0; i < list().Count(); ++i) before.push_back(list().Item(i));
  main.SaveSettings();
  main.LoadSettings();
  std::vector<std::string> after;
  for (int i = 0; i < list().Count(); ++i) after.push_back(list().Item(i));
  EXPECT_EQ(after, before);
}

TEST_F(Faults, AHundredMegabyteFileLoadsTheFirstHundredThousandEntries) {
  {
    std::ofstream out(ini, std::ios::binary);
    out << "[List]\nCount=2147483647\n";
    const std::string tail(1100, 'x');
    for (int i = 0; i < 100500; ++i) out << i << "=/music/" << i << tail << "\n";
  }
  struct stat st;
  ASSERT_EQ(stat(ini.c_str(), &st), 0);
  ASSERT_GT(st.st_size, 100 * 1000 * 1000);
  main.LoadSettings();
  ASSERT_EQ(list().Count(), 100000);
  const std::string last = list().Item(99999);
  EXPECT_EQ(last.size(), 1023u);
  EXPECT_EQ(last.substr(0, 12), "/music/99999");
}

TEST_F(Faults, AFolderThatTurnsUnwritableBetweenSavesLosesNothing) {
  list().Append("/music/a.wav");
  main.SaveSettings();
  // The folder becomes a regular file: every write into it fails, even for root.
  ASSERT_EQ(rename((dir + "/cfg").c_str(), (dir + "/cfg.moved").c_str()), 0);
  std::ofstream(dir + "/cfg") << "not a folder";
  list().Append("/music/b.wav");
  try {
    main.SaveSettings();
    FAIL() << "the save reported success";
  } catch (const ui::Error& e) {
    EXPECT_EQ(std::string(e.what()), ini + " に書き込めません");
  }
  EXPECT_EQ(list().Count(), 2);
  ASSERT_EQ(unlink((dir + "/cfg").c_str()), 0);
  ASSERT_EQ(rename((dir + "/cfg.moved").c_str(), (dir + "/cfg").c_str()), 0);
  main.SaveSettings();
  main.LoadSettings();
  ASSERT_EQ(list().Count(), 2);
  EXPECT_EQ(list().Item(1), "/music/b.wav");
}

TEST_F(Faults, EncodersThatCrashOrFloodTheirOutput) {
  list().Append(dir + "/crash.wav");
  list().Append(dir + "/flood.wav");
  app.onPump = [&] {
    const std::string now = main.form().Get<ui::Control>("lblNowCount").Text();
    if (now == "1") {
      unsetenv("BRIMVALE_TEST_CRASH");
      setenv("BRIMVALE_TEST_FLOOD_KB", "65536", 1);
    }
  };
  setenv("BRIMVALE_TEST_CRASH", "1", 1);
  main.btnStartEncodeClick();
  unsetenv("BRIMVALE_TEST_CRASH");
  unsetenv("BRIMVALE_TEST_FLOOD_KB");
  ASSERT_EQ(list().Count(), 1);
  EXPECT_EQ(list().Item(0), dir + "/crash.wav");
  ASSERT_EQ(app.messages.size(), 1u);
  EXPECT_NE(app.messages[0].find("crash.wav"), std::string::npos);
  struct stat st;
  EXPECT_EQ(stat((dir + "/flood.ogg").c_str(), &st), 0);
}

}  // namespace
