// POSIX implementations of the process, file-system and settings-file services.
#pragma once

#include <sys/types.h>

#include <string>

#include "app/services.h"
#include "ui/ui.h"

namespace posix {

// The full path of the running executable.
std::string ExecutablePath();
// The folder part of a path ("." when it has none).
std::string DirName(const std::string& path);

// The encoder started with posix_spawn from an argv, never through a shell.
class PosixProcess : public ui::Process {
 public:
  PosixProcess();
  ~PosixProcess() override;
  void Clear() override;
  bool Start(const ui::EncoderCommand& cmd, bool hideConsole) override;
  int ExitCode() override;
  bool Terminate() override;
  intptr_t WaitHandle() const override { return pidfd_; }

  // Where a bare program name is looked for first (the executable's folder).
  std::string programDir;
  // Time SIGTERM is given before SIGKILL follows.
  int graceMs = 500;

  // The program a name resolves to: a name with a "/" as it is, a bare name
  // beside the executable, then on PATH; empty when not found.
  std::string Resolve(const std::string& name) const;

 private:
  void Reap(bool block);
  pid_t pid_ = 0;
  int pidfd_ = -1;
  bool running_ = false;
  int exitCode_ = 0;
};

class PosixFileSystem : public app::FileSystem {
 public:
  void ForceDirectories(const std::string& folder) override;
  bool RemoveFile(const std::string& path) override;
  bool Exists(const std::string& path) override;
};

// The settings file, replaced atomically through a temporary file beside it.
class FileSettingsStore : public app::SettingsStore {
 public:
  explicit FileSettingsStore(std::string path) : path_(std::move(path)) {}
  std::string Path() const override { return path_; }
  std::optional<std::string> Read() override;
  bool Write(const std::string& content) override;

 private:
  std::string path_;
};

// brimvale.ini beside the executable when one exists there (portable use),
// otherwise $XDG_CONFIG_HOME/brimvale/brimvale.ini (~/.config by default).
std::string SettingsPath(const std::string& executablePath);

}  // namespace posix
