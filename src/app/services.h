// The platform services the main window needs beyond the form layer.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "encode/command_line.h"
#include "ui/ui.h"
#include "widgets/folder_dialog.h"

namespace app {

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // Creates the folder and every missing parent; failure is not reported.
  virtual void ForceDirectories(const std::string& folder) = 0;
  // Removes a file; false when it could not be removed.
  virtual bool RemoveFile(const std::string& path) = 0;
  // Whether a file (or folder) exists.
  virtual bool Exists(const std::string& path) = 0;
};

// The settings file: its full path, its whole content, and an atomic replace.
class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  virtual std::string Path() const = 0;
  // The content, or nothing when the file is missing or cannot be read.
  virtual std::optional<std::string> Read() = 0;
  // Replaces the file's content at once; false when the write was refused.
  virtual bool Write(const std::string& content) = 0;
};

// The file-manager verb that sends .wav and .mp3 files to the program.
class ShellVerb {
 public:
  virtual ~ShellVerb() = default;
  virtual void Register() = 0;    // may throw ui::Error
  virtual void Unregister() = 0;  // may throw ui::Error
};

struct Services {
  ui::App& app;
  ui::Process& encoder;  // EncoderProcess
  FileSystem& fs;
  SettingsStore& settings;
  ShellVerb& verb;
  widgets::FolderBrowserPort& folders;  // the browser behind the output-folder dialog
  encode::Traits traits;
  std::vector<std::string> args;  // command-line arguments after the program's own name
};

}  // namespace app
