#include "platform/posix/posix.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

extern char** environ;

namespace posix {

std::string ExecutablePath() {
  std::vector<char> buf(4096);
  while (true) {
    const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
    if (n < 0) return {};
    if (static_cast<size_t>(n) < buf.size()) return std::string(buf.data(), static_cast<size_t>(n));
    buf.resize(buf.size() * 2);
  }
}

std::string DirName(const std::string& path) {
  const size_t i = path.rfind('/');
  if (i == std::string::npos) return ".";
  if (i == 0) return "/";
  return path.substr(0, i);
}

namespace {

bool IsExecutableFile(const std::string& p) {
  struct stat st;
  return stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(p.c_str(), X_OK) == 0;
}

int PidfdOpen(pid_t pid) { return static_cast<int>(syscall(SYS_pidfd_open, pid, 0)); }

bool WaitReadable(int fd, int ms) {
  pollfd p{fd, POLLIN, 0};
  int r;
  do {
    r = poll(&p, 1, ms);
  } while (r < 0 && errno == EINTR);
  return r > 0;
}

}  // namespace

PosixProcess::PosixProcess() : programDir(DirName(ExecutablePath())) {}

PosixProcess::~PosixProcess() {
  Terminate();
  Clear();
}

std::string PosixProcess::Resolve(const std::string& name) const {
  if (name.empty()) return {};
  if (name.find('/') != std::string::npos) return name;
  if (!programDir.empty()) {
    const std::string beside = programDir + "/" + name;
    if (IsExecutableFile(beside)) return beside;
  }
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string dir = dirs.substr(start, end - start);
    if (dir.empty()) dir = ".";
    const std::string candidate = dir + "/" + name;
    if (IsExecutableFile(candidate)) return candidate;
    start = end + 1;
  }
  return {};
}

void PosixProcess::Reap(bool block) {
  if (!running_) return;
  int status = 0;
  pid_t r;
  do {
    r = waitpid(pid_, &status, block ? 0 : WNOHANG);
  } while (r < 0 && errno == EINTR);
  if (r == pid_) {
    running_ = false;
    if (WIFEXITED(status)) exitCode_ = WEXITSTATUS(status);
    else if (WIFSIGNALED(status)) exitCode_ = 128 + WTERMSIG(status);
    else exitCode_ = 1;
  } else if (r < 0) {
    // The child is gone without a status we can read; count it as failed.
    running_ = false;
    exitCode_ = 1;
  }
}

void PosixProcess::Clear() {
  // An earlier process that still runs is not ours to wait for any more; end it.
  if (running_) Terminate();
  if (pidfd_ >= 0) close(pidfd_);
  pidfd_ = -1;
  pid_ = 0;
  exitCode_ = 0;
}

bool PosixProcess::Start(const ui::EncoderCommand& cmd, bool hideConsole) {
  Clear();
  if (cmd.argv.empty()) return false;
  const std::string program = Resolve(cmd.argv[0]);
  if (program.empty()) return false;
  std::vector<char*> argv;
  for (const std::string& a : cmd.argv) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (hideConsole) {
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
  }
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  // The encoder starts with default signal handling whatever the front end set up.
  sigset_t all, none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, program.c_str(), &actions, &attr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) return false;
  pid_ = pid;
  running_ = true;
  pidfd_ = PidfdOpen(pid);
  return true;
}

int PosixProcess::ExitCode() {
  Reap(false);
  return running_ ? ui::kStillActive : exitCode_;
}

bool PosixProcess::Terminate() {
  Reap(false);
  if (!running_) return false;
  kill(pid_, SIGTERM);
  if (pidfd_ >= 0) {
    WaitReadable(pidfd_, graceMs);
    Reap(false);
  }
  if (running_) {
    kill(pid_, SIGKILL);
    Reap(true);
  }
  exitCode_ = 0;
  return true;
}

void PosixFileSystem::ForceDirectories(const std::string& folder) {
  if (folder.empty()) return;
  std::string path;
  size_t i = 0;
  while (i <= folder.size()) {
    size_t j = folder.find('/', i);
    if (j == std::string::npos) j = folder.size();
    path = folder.substr(0, j);
    if (!path.empty()) mkdir(path.c_str(), 0777);
    i = j + 1;
  }
}

bool PosixFileSystem::RemoveFile(const std::string& path) { return unlink(path.c_str()) == 0; }

bool PosixFileSystem::Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

std::optional<std::string> FileSettingsStore::Read() {
  const int fd = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string content;
  char buf[65536];
  while (true) {
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    content.append(buf, static_cast<size_t>(n));
  }
  close(fd);
  return content;
}

bool FileSettingsStore::Write(const std::string& content) {
  const std::string tmp = path_ + ".tmp" + std::to_string(getpid());
  const int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  size_t done = 0;
  bool ok = true;
  while (done < content.size()) {
    const ssize_t n = write(fd, content.data() + done, content.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    done += static_cast<size_t>(n);
  }
  // The data must be on disk before the rename makes it the settings file.
  if (ok && fsync(fd) != 0) ok = false;
  if (close(fd) != 0) ok = false;
  if (ok && rename(tmp.c_str(), path_.c_str()) != 0) ok = false;
  if (!ok) unlink(tmp.c_str());
  return ok;
}

std::string SettingsPath(const std::string& executablePath) {
  const std::string beside = DirName(executablePath) + "/brimvale.ini";
  if (access(beside.c_str(), F_OK) == 0) return beside;
  std::string base;
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x == '/') base = x;
  else if (const char* h = std::getenv("HOME"); h && *h) base = std::string(h) + "/.config";
  else base = DirName(executablePath);
  const std::string dir = base + "/brimvale";
  PosixFileSystem().ForceDirectories(dir);
  return dir + "/brimvale.ini";
}

}  // namespace posix
