#include "widgets/folder_dialog.h"

namespace widgets {

unsigned BrowseFlags(TFolderDialogListedFlags flags) {
  static const unsigned kBif[] = {0x1000, 0x2000, 0x0002, 0x0008, 0x0001, 0x0004};
  unsigned r = 0;
  for (unsigned i = 0; i < 6; ++i)
    if (flags & (1u << i)) r += kBif[i];
  return r;
}

TFolderDialog::TFolderDialog(FolderBrowserPort& browser, intptr_t owner, text::PathRules rules)
    : browser_(browser), owner_(owner), rules_(rules) {}

std::string TFolderDialog::DropTrailingSeparator(const std::string& v) const {
  // A drive root such as "C:\" (three bytes) keeps its separator.
  if (v.size() > 3 && text::EndsWithChar(v, rules_.joiner, rules_.codePage)) return v.substr(0, v.size() - 1);
  return v;
}

void TFolderDialog::SetRootDir(const std::string& v) { rootDir_ = DropTrailingSeparator(v); }

void TFolderDialog::SetStartDir(const std::string& v) { startDir_ = DropTrailingSeparator(v); }

void TFolderDialog::SetStatusText(const std::string& v) {
  if (open_ && (listedFlags_ & Flag(lfStatusText))) browser_.SetStatusText(window_, v);
  statusText_ = v;
}

bool TFolderDialog::Execute() {
  if (!browser_.Available()) throw TFolderDialogException();
  FolderBrowserPort::Request req;
  req.owner = owner_;
  req.rootDir = rootDir_;
  req.title = caption_;
  req.flags = BrowseFlags(listedFlags_);
  std::string chosen;
  const bool ok = browser_.Browse(req, *this, chosen);
  selectedDir_ = ok ? chosen : std::string();
  open_ = false;
  if (OnClose) OnClose(*this);
  return ok;
}

void TFolderDialog::Notice(intptr_t window, int notice, const std::string* path) {
  if (notice == BFFM_INITIALIZED) {
    if (!startDir_.empty()) browser_.SetSelection(window, startDir_);
    if (OnShow) OnShow(*this);
    // The window is recorded and the flag set only after OnShow.
    window_ = window;
    open_ = true;
  } else if (notice == BFFM_SELCHANGED && open_) {
    // An item without a file-system path leaves SelectedDir empty.
    selectedDir_ = path ? *path : std::string();
    if (OnSelectionChange) OnSelectionChange(*this);
  }
}

}  // namespace widgets
