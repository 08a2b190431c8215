#include "platform/qt/qt_services.h"

#include <QFile>
#include <QFileDialog>

#include "platform/qt/qt_app.h"

namespace qtui {

bool QtFolderBrowser::Browse(std::string& folder) {
  QFileDialog dialog(app_.DialogParent());
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  if (app_.RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  folder = QFile::encodeName(dialog.selectedFiles().first()).toStdString();
  return true;
}

}  // namespace qtui
