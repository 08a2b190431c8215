#include "platform/qt/qt_app.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QSessionManager>
#include <QSocketNotifier>
#include <QTimer>
#include <QUrl>

#include "platform/qt/qt_form.h"

namespace qtui {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// The standard buttons of a Windows message box type (the low four bits of its flags).
QMessageBox::StandardButtons ButtonsFor(unsigned flags) {
  switch (flags & 0x0F) {
    case 1: return QMessageBox::Ok | QMessageBox::Cancel;
    case 2: return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
    case 3: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case 4: return QMessageBox::Yes | QMessageBox::No;
    case 5: return QMessageBox::Retry | QMessageBox::Cancel;
    default: return QMessageBox::Ok;
  }
}

QMessageBox::Icon IconFor(unsigned flags) {
  switch (flags & 0xF0) {
    case 0x10: return QMessageBox::Critical;
    case 0x20: return QMessageBox::Question;
    case 0x30: return QMessageBox::Warning;
    case 0x40: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

int IdFor(int button) {
  switch (button) {
    case QMessageBox::Ok: return ui::IDOK;
    case QMessageBox::Cancel: return 2;
    case QMessageBox::Abort: return 3;
    case QMessageBox::Retry: return 4;
    case QMessageBox::Ignore: return 5;
    case QMessageBox::Yes: return ui::IDYES;
    case QMessageBox::No: return ui::IDNO;
    default: return 2;
  }
}

}  // namespace

QStringList NameFilters(const std::string& pairs) {
  const QStringList parts = Q(pairs).split(QLatin1Char('|'));
  QStringList filters;
  if (pairs.empty()) return filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QStringList patterns;
    for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
      const QString t = p.trimmed();
      // "*.*" means every file on Windows; on Linux it would miss names without a dot.
      patterns << (t == QLatin1String("*.*") ? QStringLiteral("*") : t);
    }
    filters << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
  }
  return filters;
}

QtApp::QtApp() {
  // Run() ends when the main window closes; no other window may end the application.
  QApplication::setQuitOnLastWindowClosed(false);
  QApplication::setFont(WindowFont(ui::MainFormDesc()));
  qApp->installEventFilter(this);
#ifndef QT_NO_SESSIONMANAGER
  // Before a log-off the main window's close query answers: a run in progress is
  // stopped and the log-off refused; otherwise the settings are saved first.
  QObject::connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
    if (!forms_.empty() && forms_.front()->Visible() && !forms_.front()->CloseQuery()) manager.cancel();
  });
#endif
}

QtApp::~QtApp() {
  if (qApp) qApp->removeEventFilter(this);
}

std::unique_ptr<ui::Form> QtApp::CreateForm(const ui::FormDesc& desc, ui::FormEvents& sink) {
  return std::make_unique<QtForm>(*this, desc, sink);
}

void QtApp::Run(ui::Form& mainForm) {
  auto& form = static_cast<QtForm&>(mainForm);
  QEventLoop loop;
  form.onClosed = [&loop] { loop.quit(); };
  form.Show();
  if (!form.Closed()) loop.exec();
  form.onClosed = nullptr;
}

void QtApp::ProcessMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtApp::WaitForProcessOrInput(ui::Process& process, int ms) {
  // One pass of the event loop that may block: it returns once the process has
  // ended (its pidfd turns readable), the timer has run out, or any other event
  // was handled (input, a click on Stop, a drop, a close request).
  std::unique_ptr<QSocketNotifier> ended;
  if (process.WaitHandle() >= 0)
    ended = std::make_unique<QSocketNotifier>(static_cast<qintptr>(process.WaitHandle()), QSocketNotifier::Read);
  QTimer timeout;
  timeout.setSingleShot(true);
  timeout.start(ms < 0 ? 0 : ms);
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

int QtApp::RunModal(QDialog& dialog) { return modalHook ? modalHook(dialog) : dialog.exec(); }

int QtApp::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  QMessageBox box(IconFor(flags), Q(caption), Q(text), ButtonsFor(flags), DialogParent());
  box.setTextFormat(Qt::PlainText);
  return IdFor(RunModal(box));
}

void QtApp::ShowMessage(const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, Q(title_), Q(text), QMessageBox::Ok, DialogParent());
  box.setTextFormat(Qt::PlainText);
  RunModal(box);
}

void QtApp::ShowError(const std::string& message) {
  QMessageBox box(QMessageBox::Critical, Q(title_), Q(message + "."), QMessageBox::Ok, DialogParent());
  box.setTextFormat(Qt::PlainText);
  RunModal(box);
}

bool QtApp::OpenFiles(const ui::OpenFileOptions& options, std::vector<std::string>& files) {
  QFileDialog dialog(DialogParent());
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(options.multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  // The captions already name their patterns, as the Windows dialog shows them.
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  const QStringList filters = NameFilters(options.filter);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.first());
  }
  if (RunModal(dialog) != QDialog::Accepted) return false;
  files.clear();
  for (QString f : dialog.selectedFiles()) {
    // The default extension completes a name that does not exist without it, as the
    // Windows dialog does; QFileDialog's own suffix would turn /usr/bin/oggenc into oggenc.exe.
    if (!options.defaultExt.empty() && !QFileInfo::exists(f) && !QFileInfo(f).fileName().contains(QLatin1Char('.')))
      f += QLatin1Char('.') + Q(options.defaultExt);
    files.push_back(QFile::encodeName(f).toStdString());
  }
  return !files.empty();
}

void QtApp::OpenWithAssociated(const std::string& path) {
  QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(path))));
}

void QtApp::OpenUrl(const std::string& url) { QDesktopServices::openUrl(QUrl(Q(url))); }

QtForm* QtApp::FormNamed(const std::string& name) const {
  for (QtForm* f : forms_)
    if (f->Desc().name == name) return f;
  return nullptr;
}

QWidget* QtApp::DialogParent() const {
  for (QtForm* f : forms_)
    if (f->Window()->isActiveWindow()) return f->Window();
  for (QtForm* f : forms_)
    if (f->Window()->isVisible()) return f->Window();
  return nullptr;
}

QtForm* QtApp::OwnerOf(QObject* object) const {
  auto* w = qobject_cast<QWidget*>(object);
  if (!w) return nullptr;
  QWidget* top = w->window();
  for (QtForm* f : forms_)
    if (f->Window() == top) return f;
  return nullptr;
}

bool QtApp::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonRelease: {
      auto* me = static_cast<QMouseEvent*>(event);
      if (me->button() != Qt::RightButton) break;
      QtForm* form = OwnerOf(watched);
      if (!form || !form->PopupMenu()) break;
      form->OpenPopup(me->globalPosition().toPoint());
      return true;
    }
    case QEvent::ContextMenu: {
      // No control has a menu of its own; the form's menu opens on the release and the key.
      QtForm* form = OwnerOf(watched);
      if (form && form->PopupMenu()) return true;
      break;
    }
    case QEvent::KeyPress: {
      auto* ke = static_cast<QKeyEvent*>(event);
      if (ke->key() != Qt::Key_Menu) break;
      if (ke->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) break;
      QtForm* form = OwnerOf(watched);
      if (!form || !form->PopupMenu()) break;
      QWidget* at = static_cast<QWidget*>(watched);
      form->OpenPopup(at->mapToGlobal(at->rect().center()));
      return true;
    }
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace qtui
