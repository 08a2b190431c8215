// Win32 implementations of the process, file-system, settings-file, folder
// browser and registry services, and the program's command-line arguments.
#pragma once

#include "app/services.h"
#include "settings/shell_verb.h"
#include "ui/ui.h"
#include "widgets/folder_dialog.h"

#include <windows.h>
#undef MessageBox

#include <memory>
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

// The system's folder browser: SHBrowseForFolderA with its callback, the
// shell's allocator, the root parsed through the desktop folder.
class Win32FolderBrowserPort : public widgets::FolderBrowserPort {
 public:
  Win32FolderBrowserPort() = default;
  ~Win32FolderBrowserPort() override;
  Win32FolderBrowserPort(const Win32FolderBrowserPort&) = delete;
  Win32FolderBrowserPort& operator=(const Win32FolderBrowserPort&) = delete;

  bool Available() override;
  bool Browse(const Request& request, Callback& callback, std::string& chosen) override;
  void SetSelection(intptr_t window, const std::string& path) override;
  void SetStatusText(intptr_t window, const std::string& text) override;

 private:
  IMalloc* malloc_ = nullptr;  // from Available until the end of Browse
};

// The registry accessor: one current key under a root, every key opened with
// all access rights.
class Win32Registry : public settings::Registry {
 public:
  explicit Win32Registry(HKEY root) : root_(root) {}
  ~Win32Registry() override { CloseKey(); }
  Win32Registry(const Win32Registry&) = delete;
  Win32Registry& operator=(const Win32Registry&) = delete;

  bool OpenKey(const std::string& path, bool create) override;
  std::string ReadDefault() override;
  void WriteDefault(const std::string& value) override;
  void CloseKey() override;
  void DeleteKeyTree(const std::string& path) override;

 private:
  HKEY root_;
  HKEY current_ = nullptr;
};

// An accessor rooted at HKEY_CLASSES_ROOT: the factory of the Explorer verb.
std::unique_ptr<settings::Registry> ClassesRootRegistry();
// The Explorer verb for a program at exePath, its caption in the ANSI code page.
settings::RegistryShellVerb ShellVerb(const std::string& exePath);

// The executable's full path (GetModuleFileNameA, any length).
std::string ModulePath();
// brimvale.ini beside the executable.
std::string SettingsPathBesideExe();
// The arguments after the program's own name, split as the program splits them.
std::vector<std::string> CommandLineArguments();

}  // namespace win32
