// The ports of the main window on Qt and the Linux program's services.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/services.h"

namespace qtui {

class QtApp;

// The output-folder chooser: a directory dialog for now.
class QtFolderBrowser : public app::FolderBrowser {
 public:
  explicit QtFolderBrowser(QtApp& app) : app_(app) {}
  bool Browse(std::string& folder) override;

 private:
  QtApp& app_;
};

// Placeholder: the desktop-entry verb (BrimvaleEncode.desktop) is not written yet; both calls do nothing.
class UnimplementedShellVerb : public app::ShellVerb {
 public:
  void Register() override {}
  void Unregister() override {}
};

}  // namespace qtui
