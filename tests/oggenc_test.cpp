// Runs with Debian's oggenc: awkward names encode, and entries the encoder
// cannot read stay in the list and are named in one message.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "app/main_form.h"
#include "platform/posix/posix.h"
#include "support/doubles.h"
#include "support/wav.h"
#include "ui/headless/headless.h"

namespace {

using testdoubles::MemoryStore;
using testdoubles::NoFolders;
using testdoubles::RecordingVerb;

bool Exists(const std::string& p) {
  struct stat st;
  return stat(p.c_str(), &st) == 0 && st.st_size > 0;
}

TEST(Oggenc, AwkwardNamesEncodeAndUnreadableEntriesStay) {
  char tmpl[] = "/tmp/brimvale-oggenc-XXXXXX";
  const std::string dir = mkdtemp(tmpl);
  ASSERT_EQ(chdir(dir.c_str()), 0);
  const std::string wav = testwav::SineWav(440);
  const std::string longName = std::string(200, 'n') + ".wav";
  const std::vector<std::string> good = {dir + "/a b 'c' \"d\" $(x).wav", dir + "/日本語の曲.wav", "-dash.wav",
                                         dir + "/" + longName};
  for (const auto& g : good) std::ofstream(g, std::ios::binary) << wav;
  const std::vector<std::string> bad = {dir + "/missing.wav", dir, dir + "/not-audio.mp3"};
  std::ofstream(dir + "/not-audio.mp3") << "this is not audio";

  ui::headless::HeadlessApp app;
  posix::PosixProcess proc;
  posix::PosixFileSystem fs;
  MemoryStore store;
  RecordingVerb verb;
  NoFolders folders;
  app::Services s{app, proc, fs, store, verb, folders, encode::Traits::Posix(), {}};
  app::TOggEncodeF main(s);
  app::TAboutF about(app);
  app::TEncodeOptionF options(app);
  main.SetDialogs(&about, &options);
  options.SetBitRateIndex(1);
  auto& list = main.form().Get<ui::ListBox>("lstSrcFile");
  for (const auto& e : good) list.Append(e);
  for (const auto& e : bad) list.Append(e);
  main.btnStartEncodeClick();

  for (const auto& g : good) {
    const std::string out = g.substr(0, g.size() - 4) + ".ogg";
    EXPECT_TRUE(Exists(out)) << out;
  }
  ASSERT_EQ(list.Count(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(list.Item(i), bad[i]);
  ASSERT_EQ(app.messages.size(), 1u);
  for (const auto& b : bad) EXPECT_NE(app.messages[0].find(b), std::string::npos) << app.messages[0];
  const std::string cmd = "rm -rf '" + dir + "'";
  (void)!std::system(cmd.c_str());
}

}  // namespace
