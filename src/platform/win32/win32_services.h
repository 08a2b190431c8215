// Win32 implementations of the process, file-system, settings-file, folder
// and shell-verb services, and the program's command-line arguments.
#pragma once

#include "app/services.h"
#include "ui/ui.h"

#include <windows.h>
#undef MessageBox

#include <string>
#include <vector>

namespace win32 {

class Win32App;

// The encoder process record: CreateProcessA with the command line as given.
class Win32Process : public ui::Process {
 public:
  Win32Process() = default;
  ~Win32Process() override;
  Win32Process(const Win32Process&) = delete;
  Win32Process& operator=(const Win32Process&) = delete;

  void Clear() override;
  bool Start(const ui::EncoderCommand& cmd, bool hideConsole) override;
  int ExitCode() override;
  bool Terminate() override;
  intptr_t WaitHandle() const override;

  // The record of the process started last (zeros after Clear).
  const PROCESS_INFORMATION& Info() const { return info_; }

 private:
  void CloseHandles();
  PROCESS_INFORMATION info_{};
  DWORD exitCode_ = 0;
};

class Win32FileSystem : public app::FileSystem {
 public:
  void ForceDirectories(const std::string& folder) override;
  bool RemoveFile(const std::string& path) override;
  bool Exists(const std::string& path) override;
};

// The settings file, replaced atomically: a temporary file beside it, then MoveFileExA.
class IniFileStore : public app::SettingsStore {
 public:
  explicit IniFileStore(std::string path) : path_(std::move(path)) {}
  std::string Path() const override { return path_; }
  std::optional<std::string> Read() override;
  bool Write(const std::string& content) override;

 private:
  std::string path_;
};

// The plain system folder browser (SHBrowseForFolderA).
class Win32FolderBrowser : public app::FolderBrowser {
 public:
  explicit Win32FolderBrowser(Win32App& app) : app_(app) {}
  bool Browse(std::string& folder) override;

 private:
  Win32App& app_;
};

// Stands in for the Explorer verb until it is written: registering and
// unregistering do nothing yet, and the registry is never touched.
class ShellVerbNotImplemented : public app::ShellVerb {
 public:
  void Register() override {}
  void Unregister() override {}
};

// The executable's full path (GetModuleFileNameA, any length).
std::string ModulePath();
// brimvale.ini beside the executable.
std::string SettingsPathBesideExe();
// The arguments after the program's own name, split as the program splits them.
std::vector<std::string> CommandLineArguments();

}  // namespace win32
