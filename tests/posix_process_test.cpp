// The encoder process on POSIX: where a bare name is found, exit codes,
// termination, and where the encoder's output goes.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/posix/posix.h"

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// Runs the stand-in encoder to its end and returns its exit code.
int RunToEnd(posix::PosixProcess& p, bool hide) {
  ui::EncoderCommand cmd{"", {TEST_ENCODER, "--output=/dev/null"}};
  if (!p.Start(cmd, hide)) return -1;
  int code;
  while ((code = p.ExitCode()) == ui::kStillActive) usleep(1000);
  return code;
}

TEST(PosixProcess, BareNamesAreFoundBesideTheProgramThenOnPath) {
  posix::PosixProcess p;
  const std::string dir = posix::DirName(TEST_ENCODER);
  p.programDir = dir;
  EXPECT_EQ(p.Resolve("test_encoder"), std::string(TEST_ENCODER));
  p.programDir = "/nonexistent";
  const std::string oldPath = getenv("PATH") ? getenv("PATH") : "";
  setenv("PATH", ("/nonexistent:" + dir).c_str(), 1);
  EXPECT_EQ(p.Resolve("test_encoder"), std::string(TEST_ENCODER));
  setenv("PATH", "/nonexistent", 1);
  EXPECT_EQ(p.Resolve("test_encoder"), "");
  EXPECT_FALSE(p.Start({"", {"test_encoder"}}, true));
  EXPECT_FALSE(p.Start({"", {""}}, true));
  setenv("PATH", oldPath.c_str(), 1);
  // A directory is no program.
  EXPECT_FALSE(p.Start({"", {"/tmp"}}, true));
}

TEST(PosixProcess, ExitCodesAndSignals) {
  posix::PosixProcess p;
  struct Case {
    const char* var;
    const char* value;
    int code;
  };
  const Case cases[] = {
      {"BRIMVALE_TEST_EXIT", "0", 0},
      {"BRIMVALE_TEST_EXIT", "3", 3},
      {"BRIMVALE_TEST_CRASH", "1", 128 + 6},  // SIGABRT
  };
  for (const Case& c : cases) {
    setenv(c.var, c.value, 1);
    EXPECT_EQ(RunToEnd(p, true), c.code) << c.var;
    unsetenv(c.var);
  }
  EXPECT_FALSE(p.Terminate()) << "nothing runs any more";
}

TEST(PosixProcess, TerminateEndsAHangingEncoderAndReapsIt) {
  posix::PosixProcess p;
  setenv("BRIMVALE_TEST_SLEEP_MS", "60000", 1);
  ASSERT_TRUE(p.Start({"", {TEST_ENCODER}}, true));
  unsetenv("BRIMVALE_TEST_SLEEP_MS");
  EXPECT_EQ(p.ExitCode(), ui::kStillActive);
  EXPECT_GE(p.WaitHandle(), 0);
  EXPECT_TRUE(p.Terminate());
  EXPECT_EQ(p.ExitCode(), 0);
  EXPECT_EQ(Slurp("/proc/self/task/" + std::to_string(getpid()) + "/children"), "");
}

TEST(PosixProcess, HiddenConsoleDiscardsTheEncodersOutput) {
  char tmpl[] = "/tmp/brimvale-out-XXXXXX";
  const int fd = mkstemp(tmpl);
  ASSERT_GE(fd, 0);
  const int saved = dup(1);
  setenv("BRIMVALE_TEST_FLOOD_KB", "64", 1);
  posix::PosixProcess p;
  dup2(fd, 1);
  const int hidden = RunToEnd(p, true);
  const size_t afterHidden = Slurp(tmpl).size();
  const int shown = RunToEnd(p, false);
  dup2(saved, 1);
  close(saved);
  close(fd);
  unsetenv("BRIMVALE_TEST_FLOOD_KB");
  EXPECT_EQ(hidden, 0);
  EXPECT_EQ(shown, 0);
  EXPECT_EQ(afterHidden, 0u);
  EXPECT_EQ(Slurp(tmpl).size(), 64u * 1024u);
  unlink(tmpl);
}

TEST(FileSettingsStore, ReplacesWholeAndRefusesWithoutHarm) {
  char tmpl[] = "/tmp/brimvale-ini-XXXXXX";
  const std::string dir = mkdtemp(tmpl);
  posix::FileSettingsStore store(dir + "/brimvale.ini");
  EXPECT_FALSE(store.Read().has_value());
  ASSERT_TRUE(store.Write("[List]\nCount=0\n"));
  ASSERT_TRUE(store.Write("[List]\nCount=1\n0=a\n"));
  EXPECT_EQ(store.Read().value_or(""), "[List]\nCount=1\n0=a\n");
  // A path that runs through a regular file cannot be written.
  posix::FileSettingsStore blocked(dir + "/brimvale.ini/x.ini");
  EXPECT_FALSE(blocked.Write("x"));
  EXPECT_EQ(store.Read().value_or(""), "[List]\nCount=1\n0=a\n");
  const std::string cmd = "rm -rf '" + dir + "'";
  (void)!std::system(cmd.c_str());
}

}  // namespace

namespace {

// A writer killed at any moment of a save leaves the old file or the new one.
TEST(FileSettingsStore, AKilledSaveLeavesTheOldOrTheNewFile) {
  char tmpl[] = "/tmp/brimvale-kill-XXXXXX";
  const std::string dir = mkdtemp(tmpl);
  const std::string path = dir + "/brimvale.ini";
  std::string a = "[List]\nCount=20000\n", b = "[List]\nCount=20000\n";
  for (int i = 0; i < 20000; ++i) {
    a += std::to_string(i) + "=/music/a/" + std::to_string(i) + ".wav\n";
    b += std::to_string(i) + "=/music/b/" + std::to_string(i) + ".wav\n";
  }
  ASSERT_TRUE(posix::FileSettingsStore(path).Write(a));
  unsigned seed = 12345;
  for (int round = 0; round < 40; ++round) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      posix::FileSettingsStore store(path);
      for (int k = 0;; ++k) store.Write(k % 2 ? a : b);
    }
    usleep(200 + rand_r(&seed) % 5000);
    kill(pid, SIGKILL);
    int status;
    waitpid(pid, &status, 0);
    const std::string now = posix::FileSettingsStore(path).Read().value_or("");
    ASSERT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
  }
  const std::string cmd = "rm -rf '" + dir + "'";
  (void)!std::system(cmd.c_str());
}

}  // namespace
