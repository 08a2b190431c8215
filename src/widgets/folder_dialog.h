// TFolderDialog: a reusable component that shows the platform's folder
// browser modally and gives back the chosen folder's path.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "text/text.h"

namespace widgets {

enum TFolderDialogListedFlag : uint8_t {
  lfBrowseForComputer = 0,
  lfBrowseForPrinter = 1,
  lfDontGoBelowDomain = 2,
  lfReturnFSAncestors = 3,
  lfReturnOnlyFSDirs = 4,
  lfStatusText = 5,
};
using TFolderDialogListedFlags = uint8_t;  // bit n for member n
constexpr TFolderDialogListedFlags Flag(TFolderDialogListedFlag f) {
  return static_cast<TFolderDialogListedFlags>(1u << f);
}

// Browser flags (BIF_*) for a set of listed flags.
unsigned BrowseFlags(TFolderDialogListedFlags flags);

// Raised by Execute when the browser's memory allocator cannot be had.
class TFolderDialogException {};

// Browser notices.
constexpr int BFFM_INITIALIZED = 1;
constexpr int BFFM_SELCHANGED = 2;

// What the platform's folder browser gives the component.
class FolderBrowserPort {
 public:
  struct Request {
    intptr_t owner = 0;    // the owner window
    std::string rootDir;   // empty: the desktop
    std::string title;     // text above the tree
    unsigned flags = 0;    // BIF_* values
  };
  // Receives the browser's notices on the calling thread while it is open.
  class Callback {
   public:
    virtual ~Callback() = default;
    // BFFM_INITIALIZED with no path; BFFM_SELCHANGED with the new selection's
    // file-system path, or nullptr for an item without one.
    virtual void Notice(intptr_t window, int notice, const std::string* path) = 0;
  };
  virtual ~FolderBrowserPort() = default;
  // False when the browser cannot run at all (no shell allocator).
  virtual bool Available() = 0;
  // Runs the browser modally. True when a folder was chosen, with its path in
  // chosen (empty for an item without a file-system path); false on cancel.
  virtual bool Browse(const Request& request, Callback& callback, std::string& chosen) = 0;
  virtual void SetSelection(intptr_t window, const std::string& path) = 0;
  virtual void SetStatusText(intptr_t window, const std::string& text) = 0;
};

class TFolderDialog : private FolderBrowserPort::Callback {
 public:
  using TNotifyEvent = std::function<void(TFolderDialog& sender)>;

  TFolderDialog(FolderBrowserPort& browser, intptr_t owner, text::PathRules rules);

  bool Execute();

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v) { caption_ = v; }
  const std::string& RootDir() const { return rootDir_; }
  void SetRootDir(const std::string& v);
  const std::string& StartDir() const { return startDir_; }
  void SetStartDir(const std::string& v);
  TFolderDialogListedFlags ListedFlags() const { return listedFlags_; }
  void SetListedFlags(TFolderDialogListedFlags v) { listedFlags_ = v; }
  const std::string& StatusText() const { return statusText_; }
  void SetStatusText(const std::string& v);
  const std::string& SelectedDir() const { return selectedDir_; }
  bool Open() const { return open_; }

  TNotifyEvent OnClose, OnShow, OnSelectionChange;

 private:
  void Notice(intptr_t window, int notice, const std::string* path) override;
  std::string DropTrailingSeparator(const std::string& v) const;

  FolderBrowserPort& browser_;
  intptr_t owner_;
  text::PathRules rules_;
  bool open_ = false;
  intptr_t window_ = 0;
  std::string rootDir_, startDir_, caption_, selectedDir_, statusText_;
  TFolderDialogListedFlags listedFlags_ = Flag(lfReturnOnlyFSDirs);
};

}  // namespace widgets
