#include "platform/posix/desktop_verb.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/posix/posix.h"

extern char** environ;

namespace posix {
namespace {

std::vector<std::string> SplitPath(const std::string& s) {
  std::vector<std::string> v;
  std::stringstream ss(s);
  std::string item;
  while (std::getline(ss, item, ':'))
    if (!item.empty() && item[0] == '/') v.push_back(item);
  return v;
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

void AddUnique(std::vector<std::string>& v, const std::string& s) {
  if (std::find(v.begin(), v.end(), s) == v.end()) v.push_back(s);
}

// Runs update-desktop-database on the folder when the tool is installed.
void UpdateDesktopDatabase(const std::string& folder) {
  PosixProcess finder;
  const std::string tool = finder.Resolve("update-desktop-database");
  if (tool.empty()) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  std::vector<char*> argv{const_cast<char*>(tool.c_str()), const_cast<char*>(folder.c_str()), nullptr};
  pid_t pid;
  if (posix_spawn(&pid, tool.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
    int status;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }
  posix_spawn_file_actions_destroy(&actions);
}

}  // namespace

std::string DataHome() {
  if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x == '/') return x;
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/tmp") + "/.local/share";
}

std::vector<std::string> DataDirs() {
  std::vector<std::string> dirs{DataHome()};
  const char* x = std::getenv("XDG_DATA_DIRS");
  for (const std::string& d : SplitPath(x && *x ? x : "/usr/local/share:/usr/share")) AddUnique(dirs, d);
  return dirs;
}

std::vector<std::string> MimeTypesFor(const std::vector<std::string>& globs,
                                      const std::vector<std::string>& dataDirs) {
  std::vector<std::string> types;
  std::vector<std::pair<std::string, std::string>> aliases;  // alias, canonical
  for (const std::string& dir : dataDirs) {
    std::ifstream g(dir + "/mime/globs2");
    std::string line;
    while (std::getline(g, line)) {
      if (line.empty() || line[0] == '#') continue;
      // weight:type:glob[:flags]
      const size_t a = line.find(':');
      const size_t b = a == std::string::npos ? a : line.find(':', a + 1);
      if (b == std::string::npos) continue;
      const std::string type = line.substr(a + 1, b - a - 1);
      std::string glob = line.substr(b + 1);
      glob = glob.substr(0, glob.find(':'));
      for (const std::string& want : globs)
        if (Lower(glob) == Lower(want)) AddUnique(types, type);
    }
    std::ifstream al(dir + "/mime/aliases");
    while (std::getline(al, line)) {
      const size_t sp = line.find(' ');
      if (line.empty() || line[0] == '#' || sp == std::string::npos) continue;
      aliases.emplace_back(line.substr(0, sp), line.substr(sp + 1));
    }
  }
  // Older databases call .wav audio/x-wav, newer ones audio/vnd.wave: list both.
  std::vector<std::string> result;
  for (const std::string& t : types) {
    AddUnique(result, t);
    for (const auto& [alias, canonical] : aliases) {
      if (canonical == t) AddUnique(result, alias);
      if (alias == t) AddUnique(result, canonical);
    }
  }
  return result;
}

std::string ExecArgument(const std::string& arg) {
  std::string quoted = "\"";
  for (char c : arg) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
    if (c == '%') quoted += '%';
    quoted += c;
  }
  quoted += '"';
  // The Exec value is itself a string value, where a backslash is written twice.
  std::string value;
  for (char c : quoted) {
    if (c == '\\') value += '\\';
    value += c;
  }
  return value;
}

std::string DesktopEntry(const std::string& executablePath, const std::vector<std::string>& types) {
  std::string mime;
  for (const std::string& t : types) mime += t + ";";
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Brimvaleに送る\n"
         "Exec=" + ExecArgument(executablePath) + " %F\n"
         "MimeType=" + mime + "\n"
         "NoDisplay=true\n"
         "Terminal=false\n";
}

std::string DesktopEntryVerb::EntryPath() { return DataHome() + "/applications/BrimvaleEncode.desktop"; }

void DesktopEntryVerb::Register() {
  const std::vector<std::string> types = MimeTypesFor({"*.wav", "*.mp3"}, DataDirs());
  // No type, no entry; and a path with a line break cannot stand in an Exec line.
  if (types.empty() || exe_.find_first_of("\r\n") != std::string::npos) return Unregister();
  const std::string path = EntryPath();
  const std::string folder = DirName(path);
  PosixFileSystem().ForceDirectories(folder);
  const std::string content = DesktopEntry(exe_, types);
  // An entry that is already as it should be is not rewritten.
  if (FileSettingsStore(path).Read() == content) return;
  // Without write rights the verb is simply not there, as on Windows.
  if (FileSettingsStore(path).Write(content)) UpdateDesktopDatabase(folder);
}

void DesktopEntryVerb::Unregister() {
  const std::string path = EntryPath();
  if (unlink(path.c_str()) == 0) UpdateDesktopDatabase(DirName(path));
}

}  // namespace posix
