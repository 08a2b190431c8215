// The file-manager verb on Linux: a desktop entry "BrimvaleEncode.desktop" in
// $XDG_DATA_HOME/applications for the MIME types of .wav and .mp3.
#pragma once

#include <string>
#include <vector>

#include "app/services.h"

namespace posix {

// $XDG_DATA_HOME (or ~/.local/share) followed by $XDG_DATA_DIRS (or
// /usr/local/share:/usr/share).
std::vector<std::string> DataDirs();
std::string DataHome();

// The MIME types the shared MIME databases under dataDirs give the file-name
// globs (such as "*.wav"), each with its aliases, in the order found.
std::vector<std::string> MimeTypesFor(const std::vector<std::string>& globs,
                                      const std::vector<std::string>& dataDirs);

// One argument of an Exec line, quoted and escaped as desktop entries require.
std::string ExecArgument(const std::string& arg);

// The desktop entry's text.
std::string DesktopEntry(const std::string& executablePath, const std::vector<std::string>& types);

class DesktopEntryVerb : public app::ShellVerb {
 public:
  explicit DesktopEntryVerb(std::string executablePath) : exe_(std::move(executablePath)) {}
  void Register() override;
  void Unregister() override;
  // Where the entry is written.
  static std::string EntryPath();

 private:
  std::string exe_;
};

}  // namespace posix
