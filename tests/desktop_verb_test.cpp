// The desktop-entry verb under a temporary XDG data home and MIME database.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "encode/command_line.h"
#include "platform/posix/desktop_verb.h"

namespace {

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class DesktopVerb : public ::testing::Test {
 protected:
  DesktopVerb() {
    char tmpl[] = "/tmp/brimvale-xdg-XXXXXX";
    root = mkdtemp(tmpl);
    mkdir((root + "/share").c_str(), 0755);
    mkdir((root + "/share/mime").c_str(), 0755);
    setenv("XDG_DATA_HOME", (root + "/home").c_str(), 1);
    setenv("XDG_DATA_DIRS", (root + "/share").c_str(), 1);
  }
  ~DesktopVerb() override {
    const std::string cmd = "rm -rf '" + root + "'";
    (void)!std::system(cmd.c_str());
  }
  void Mime(const std::string& globs2, const std::string& aliases) {
    WriteFile(root + "/share/mime/globs2", globs2);
    WriteFile(root + "/share/mime/aliases", aliases);
  }
  std::string root;
};

TEST_F(DesktopVerb, TypesComeFromTheMimeDatabaseWithTheirAliases) {
  Mime("# comment\n50:audio/x-wav:*.wav\n50:audio/mpeg:*.mp3\n50:audio/x-mpegurl:*.m3u\n50:text/x:*.WAVX\n",
       "audio/vnd.wave audio/x-wav\naudio/wav audio/x-wav\naudio/mp3 audio/mpeg\naudio/m3u audio/x-mpegurl\n");
  EXPECT_EQ(posix::MimeTypesFor({"*.wav", "*.mp3"}, posix::DataDirs()),
            (std::vector<std::string>{"audio/x-wav", "audio/vnd.wave", "audio/wav", "audio/mpeg", "audio/mp3"}));
  // A newer database names .wav by its new name; the old one comes from the aliases.
  Mime("50:audio/vnd.wave:*.wav\n", "audio/x-wav audio/vnd.wave\n");
  EXPECT_EQ(posix::MimeTypesFor({"*.wav", "*.mp3"}, posix::DataDirs()),
            (std::vector<std::string>{"audio/vnd.wave", "audio/x-wav"}));
}

TEST_F(DesktopVerb, EntryAppearsAndDisappearsWithTheSwitchAndValidates) {
  Mime("50:audio/x-wav:*.wav\n50:audio/mpeg:*.mp3\n", "audio/vnd.wave audio/x-wav\n");
  const std::string exe = "/opt/my tools/$HOME \"q\" `x` 50%/brimvale";
  posix::DesktopEntryVerb verb(exe);
  const std::string entry = posix::DesktopEntryVerb::EntryPath();
  EXPECT_EQ(entry, root + "/home/applications/BrimvaleEncode.desktop");
  verb.Register();
  const std::string text = ReadFile(entry);
  EXPECT_NE(text.find("Name=Brimvaleに送る\n"), std::string::npos);
  EXPECT_NE(text.find("MimeType=audio/x-wav;audio/vnd.wave;audio/mpeg;\n"), std::string::npos);
  EXPECT_NE(text.find(" %F\n"), std::string::npos);
  if (access("/usr/bin/desktop-file-validate", X_OK) == 0) {
    const std::string cmd = "desktop-file-validate '" + entry + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0) << text;
  }
  // The Exec line, unescaped as a desktop environment does, gives back the path as one argument.
  const size_t at = text.find("Exec=") + 5;
  std::string value = text.substr(at, text.find('\n', at) - at);
  std::string unescaped;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) ++i;
    unescaped += value[i];
  }
  std::string arg;
  size_t i = 1;
  for (; unescaped[i] != '"'; ++i) {
    if (unescaped[i] == '\\') ++i;
    else if (unescaped[i] == '%') ++i;
    arg += unescaped[i];
  }
  EXPECT_EQ(arg, exe);
  EXPECT_EQ(unescaped.substr(i + 1), " %F");

  verb.Unregister();
  EXPECT_NE(access(entry.c_str(), F_OK), 0);
  EXPECT_NO_THROW(verb.Unregister());
}

TEST_F(DesktopVerb, NoTypeNoEntry) {
  Mime("50:audio/flac:*.flac\n", "");
  posix::DesktopEntryVerb verb("/usr/bin/brimvale");
  verb.Register();
  EXPECT_NE(access(posix::DesktopEntryVerb::EntryPath().c_str(), F_OK), 0);
}

}  // namespace
