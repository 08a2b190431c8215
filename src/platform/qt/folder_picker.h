// The folder browser on Qt: a modal dialog of our own with the title text, a
// tree of folders, a status line, OK and Cancel, behind TFolderDialog's port.
#pragma once

#include <QDialog>
#include <QModelIndex>

#include <functional>
#include <string>

#include "widgets/folder_dialog.h"

class QFileSystemModel;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QTreeView;

namespace qtui {

class QtApp;

// The dialog itself. Its window is the handle the component's notices carry.
class FolderPickerDialog : public QDialog {
 public:
  // root: the folder at the top of the tree; empty (or no folder) for the file-system root.
  FolderPickerDialog(const std::string& root, const std::string& title, QWidget* parent);

  // Selects the folder and scrolls it into view; false when it is no folder inside the tree.
  bool Select(const std::string& path);
  void SetStatus(const std::string& text);
  // The selected folder's path, empty when nothing is selected.
  std::string Selected() const;
  // The tree's item of a folder, invalid when it is no folder inside the tree.
  QModelIndex IndexOf(const QString& path) const;

  QTreeView* Tree() const { return tree_; }
  QLabel* Title() const { return title_; }
  QLabel* Status() const { return status_; }
  QPushButton* OkButton() const { return ok_; }
  QString RootPath() const { return root_; }

  // Called once the dialog is up, and with each new selection's path.
  std::function<void()> onShown;
  std::function<void(const std::string& path)> onSelectionChanged;

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  QString PathOf(const QModelIndex& proxyIndex) const;

  QString root_;
  QFileSystemModel* model_;
  QSortFilterProxyModel* proxy_;
  QTreeView* tree_;
  QLabel* title_;
  QLabel* status_;
  QPushButton* ok_;
  bool shown_ = false;
  QString follow_;  // the folder Select scrolled to, kept in view until the user acts
  bool selecting_ = false;
};

class QtFolderPicker : public widgets::FolderBrowserPort {
 public:
  explicit QtFolderPicker(QtApp& app) : app_(app) {}
  bool Available() override { return true; }
  bool Browse(const Request& request, Callback& callback, std::string& chosen) override;
  void SetSelection(intptr_t window, const std::string& path) override;
  void SetStatusText(intptr_t window, const std::string& text) override;

  // The dialog while Browse runs, else nullptr.
  FolderPickerDialog* Open() const { return open_; }

 private:
  FolderPickerDialog* DialogFor(intptr_t window) const;
  QtApp& app_;
  FolderPickerDialog* open_ = nullptr;
};

}  // namespace qtui
