// The ports of the main window on Qt and the Linux program's services.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/services.h"

namespace qtui {

class QtApp;

// The plain directory dialog behind the old FolderBrowser service; the main
// window uses the folder picker (folder_picker.h) once Services::folderBrowser is set.
class QtFolderBrowser : public app::FolderBrowser {
 public:
  explicit QtFolderBrowser(QtApp& app) : app_(app) {}
  bool Browse(std::string& folder) override;

 private:
  QtApp& app_;
};

}  // namespace qtui
