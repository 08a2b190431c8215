#include "platform/qt/folder_picker.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QVBoxLayout>

#include "platform/qt/qt_app.h"

namespace qtui {
namespace {

QString Decode(const std::string& s) { return QFile::decodeName(QByteArray::fromStdString(s)); }

bool Under(const QString& path, const QString& folder) {
  return path == folder || folder == QLatin1String("/") || path.startsWith(folder + QLatin1Char('/'));
}

// Keeps the root, what lies below it, and the folders on the way to it, so
// that the view can show the root itself as its one top item.
class RootFilter : public QSortFilterProxyModel {
 public:
  RootFilter(const QString& root, QObject* parent) : QSortFilterProxyModel(parent), root_(root) {}

 protected:
  bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
    const auto* m = static_cast<const QFileSystemModel*>(sourceModel());
    const QString path = m->filePath(m->index(row, 0, parent));
    return Under(path, root_) || Under(root_, path);
  }

 private:
  QString root_;
};

}  // namespace

FolderPickerDialog::FolderPickerDialog(const std::string& root, const std::string& title, QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("FolderPicker"));
  setWindowTitle(QStringLiteral("フォルダの参照"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  // A root that names no folder gives the whole tree, as an unparsable root does on Windows.
  const QFileInfo rootInfo(Decode(root));
  root_ = !root.empty() && rootInfo.isDir() ? QDir::cleanPath(rootInfo.absoluteFilePath()) : QStringLiteral("/");

  title_ = new QLabel(Decode(title), this);
  title_->setObjectName(QStringLiteral("title"));
  title_->setTextFormat(Qt::PlainText);
  title_->setWordWrap(true);

  model_ = new QFileSystemModel(this);
  model_->setFilter(QDir::Dirs | QDir::NoDotAndDotDot);
  model_->setRootPath(root_);
  proxy_ = new RootFilter(root_, this);
  proxy_->setSourceModel(model_);

  tree_ = new QTreeView(this);
  tree_->setObjectName(QStringLiteral("tree"));
  tree_->setModel(proxy_);
  tree_->setHeaderHidden(true);
  for (int c = 1; c < proxy_->columnCount(); ++c) tree_->hideColumn(c);
  tree_->setSelectionMode(QAbstractItemView::SingleSelection);
  tree_->setRootIndex(proxy_->mapFromSource(model_->index(root_).parent()));

  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("status"));
  status_->setTextFormat(Qt::PlainText);
  status_->setMinimumHeight(status_->fontMetrics().height());

  auto* buttons = new QDialogButtonBox(this);
  ok_ = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  ok_->setObjectName(QStringLiteral("ok"));
  ok_->setDefault(true);
  QPushButton* cancel = buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
  cancel->setObjectName(QStringLiteral("cancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(title_);
  layout->addWidget(tree_, 1);
  layout->addWidget(status_);
  layout->addWidget(buttons);
  resize(320, 360);

  // The root is selected when the dialog opens; without a root the home folder is shown open.
  const QModelIndex top = IndexOf(root_);
  tree_->setCurrentIndex(top);
  tree_->expand(top);
  if (root.empty() || root_ == QLatin1String("/")) {
    const QModelIndex home = IndexOf(QDir::homePath());
    for (QModelIndex i = home; i.isValid(); i = i.parent()) tree_->expand(i);
  }
  ok_->setEnabled(top.isValid());
  // The model reads folders in the background and sorts them as they arrive, which
  // moves rows after Select scrolled: until the user scrolls or selects, the
  // selection is scrolled into view again whenever the rows change.
  auto follow = [this] {
    if (!follow_.isEmpty() && tree_->currentIndex().isValid()) tree_->scrollTo(tree_->currentIndex());
  };
  connect(proxy_, &QAbstractItemModel::layoutChanged, this, follow, Qt::QueuedConnection);
  connect(proxy_, &QAbstractItemModel::rowsInserted, this, follow, Qt::QueuedConnection);
  connect(model_, &QFileSystemModel::directoryLoaded, this, follow, Qt::QueuedConnection);
  connect(tree_->verticalScrollBar(), &QAbstractSlider::actionTriggered, this, [this] { follow_.clear(); });
  connect(tree_->selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) {
            ok_->setEnabled(current.isValid());
            if (!selecting_) follow_.clear();
            if (!current.isValid()) return;
            const QString path = PathOf(current);
            if (onSelectionChanged) onSelectionChanged(QFile::encodeName(path).toStdString());
          });
}

void FolderPickerDialog::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  if (shown_) return;
  shown_ = true;
  // The initialisation notice comes once the dialog is on the screen.
  QMetaObject::invokeMethod(this, [this] { if (onShown) onShown(); }, Qt::QueuedConnection);
}

QString FolderPickerDialog::PathOf(const QModelIndex& proxyIndex) const {
  return model_->filePath(proxy_->mapToSource(proxyIndex));
}

QModelIndex FolderPickerDialog::IndexOf(const QString& path) const {
  if (path.isEmpty()) return {};
  const QFileInfo info(path);
  if (!info.isDir()) return {};
  const QString clean = QDir::cleanPath(info.absoluteFilePath());
  if (!Under(clean, root_)) return {};
  return proxy_->mapFromSource(model_->index(clean));
}

bool FolderPickerDialog::Select(const std::string& path) {
  const QModelIndex i = IndexOf(Decode(path));
  if (!i.isValid()) return false;
  for (QModelIndex p = i.parent(); p.isValid(); p = p.parent()) tree_->expand(p);
  follow_ = PathOf(i);
  selecting_ = true;
  tree_->setCurrentIndex(i);
  selecting_ = false;
  tree_->scrollTo(i);
  return true;
}

void FolderPickerDialog::SetStatus(const std::string& text) { status_->setText(Decode(text)); }

std::string FolderPickerDialog::Selected() const {
  const QModelIndex i = tree_->currentIndex();
  return i.isValid() ? QFile::encodeName(PathOf(i)).toStdString() : std::string();
}

bool QtFolderPicker::Browse(const Request& request, Callback& callback, std::string& chosen) {
  // The owner is the form's window that the component was given (QtForm::NativeHandle).
  QWidget* owner = request.owner ? reinterpret_cast<QWidget*>(request.owner) : app_.DialogParent();
  FolderPickerDialog dialog(request.rootDir, request.title, owner);
  const intptr_t handle = reinterpret_cast<intptr_t>(&dialog);
  dialog.onShown = [&] { callback.Notice(handle, widgets::BFFM_INITIALIZED, nullptr); };
  dialog.onSelectionChanged = [&](const std::string& path) {
    callback.Notice(handle, widgets::BFFM_SELCHANGED, &path);
  };
  open_ = &dialog;
  const int result = app_.RunModal(dialog);
  open_ = nullptr;
  if (result != QDialog::Accepted) return false;
  chosen = dialog.Selected();
  return !chosen.empty();
}

FolderPickerDialog* QtFolderPicker::DialogFor(intptr_t window) const {
  return open_ && reinterpret_cast<intptr_t>(open_) == window ? open_ : nullptr;
}

void QtFolderPicker::SetSelection(intptr_t window, const std::string& path) {
  if (FolderPickerDialog* d = DialogFor(window)) d->Select(path);
}

void QtFolderPicker::SetStatusText(intptr_t window, const std::string& text) {
  if (FolderPickerDialog* d = DialogFor(window)) d->SetStatus(text);
}

}  // namespace qtui
