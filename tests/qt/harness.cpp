#include "harness.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <QApplication>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace qttest {

std::string MakeTempDir() {
  char tmpl[] = "/tmp/brimvale-qt-XXXXXX";
  const char* d = mkdtemp(tmpl);
  return d ? d : "/tmp";
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary);
  out << content;
}

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

UrlRecorder::UrlRecorder(const QString& scheme) : scheme_(scheme) {
  QDesktopServices::setUrlHandler(scheme, this, "open");
}

UrlRecorder::~UrlRecorder() { QDesktopServices::unsetUrlHandler(scheme_); }

std::vector<std::vector<std::string>> EncoderRuns(const std::string& logPath) {
  std::vector<std::vector<std::string>> runs;
  const std::string log = ReadFile(logPath);
  size_t pos = 0;
  while (pos < log.size()) {
    const size_t eol = log.find('\n', pos);
    const std::string line = log.substr(pos, eol == std::string::npos ? std::string::npos : eol - pos);
    if (line.rfind("start ", 0) == 0) {
      runs.emplace_back();
      pos = eol == std::string::npos ? log.size() : eol + 1;
    } else if (line.rfind("arg ", 0) == 0 && !runs.empty()) {
      // "arg <length> <bytes>": the bytes may hold a newline, so the length decides.
      const size_t sp = line.find(' ', 4);
      const size_t len = std::stoul(line.substr(4, sp - 4));
      runs.back().push_back(log.substr(pos + sp + 1, len));
      pos = pos + sp + 1 + len + 1;
    } else {
      pos = eol == std::string::npos ? log.size() : eol + 1;
    }
  }
  return runs;
}

Harness::Harness(std::vector<std::string> args, std::string encoderPath, app::ShellVerb* shellVerb)
    : dir(MakeTempDir()),
      store(dir + "/brimvale.ini"),
      picker(app),
      services{app, encoder, fs, store, shellVerb ? *shellVerb : verb, picker, encode::Traits::Posix(), std::move(args)} {
  for (const char* v : {"BRIMVALE_TEST_SLEEP_MS", "BRIMVALE_TEST_EXIT", "BRIMVALE_TEST_FAIL_IF",
                        "BRIMVALE_TEST_CRASH", "BRIMVALE_TEST_FLOOD_KB", "BRIMVALE_TEST_NO_OUTPUT"})
    unsetenv(v);
  setenv("BRIMVALE_TEST_LOG", LogPath().c_str(), 1);
  WriteFile(store.Path(), "[Setting]\nOggPath=" + encoderPath + "\n");

  app.modalHook = [this](QDialog& d) -> int {
    if (auto* box = qobject_cast<QMessageBox*>(&d)) {
      boxes.push_back({box->windowTitle(), box->text(), box->icon(), box->standardButtons()});
      const QList<QAbstractButton*> buttons = box->buttons();
      return buttons.isEmpty() ? 0 : box->standardButton(buttons.first());
    }
    if (auto* fd = qobject_cast<QFileDialog*>(&d)) {
      ++fileDialogs;
      return onFileDialog ? onFileDialog(*fd) : QDialog::Rejected;
    }
    if (auto* fp = dynamic_cast<qtui::FolderPickerDialog*>(&d)) {
      ++folderPickers;
      return onFolderPicker ? onFolderPicker(*fp) : QDialog::Rejected;
    }
    return d.exec();
  };

  // The start-up order of the program: title, main window, about box, options dialog.
  app.SetTitle("Brimvale");
  main = std::make_unique<app::TOggEncodeF>(services);
  about = std::make_unique<app::TAboutF>(app);
  options = std::make_unique<app::TEncodeOptionF>(app);
  main->SetDialogs(about.get(), options.get());
}

Harness::~Harness() {
  options.reset();
  about.reset();
  main.reset();
  std::error_code ec;
  std::filesystem::remove_all(dir, ec);
}

qtui::QtForm& Harness::Form() { return static_cast<qtui::QtForm&>(main->form()); }

QWidget* Harness::Window() { return Form().Window(); }

std::vector<std::string> Harness::Entries() {
  std::vector<std::string> v;
  for (int i = 0; i < List().Count(); ++i) v.push_back(List().Item(i));
  return v;
}

void Harness::Append(const std::vector<std::string>& entries) {
  for (const std::string& e : entries) List().Append(e);
}

void Harness::Show() {
  Form().Show();
  if (!QTest::qWaitForWindowActive(Window())) ADD_FAILURE() << "the main window did not become active";
}

bool DropOn(QWidget* target, const QStringList& paths, QPoint local) {
  QWidget* window = target->window();
  if (local.x() < 0) local = target->rect().center();
  const QPoint pos = target->mapTo(window, local);
  QWindow* handle = window->windowHandle();
  if (!handle) return false;
  QMimeData mime;
  QList<QUrl> urls;
  for (const QString& p : paths) urls << (p.contains(QStringLiteral("://")) ? QUrl(p) : QUrl::fromLocalFile(p));
  mime.setUrls(urls);
  // File managers also offer the names as plain text, which an edit box would take.
  mime.setText(paths.join(QLatin1Char('\n')));
  QDragEnterEvent enter(pos, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(handle, &enter);
  if (!enter.isAccepted()) {
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(handle, &leave);
    return false;
  }
  QDragMoveEvent move(pos, Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(handle, &move);
  QDropEvent drop(QPointF(pos), Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, &mime, Qt::LeftButton,
                  Qt::NoModifier);
  QCoreApplication::sendEvent(handle, &drop);
  return drop.isAccepted();
}

int RunShown(QDialog& dialog, const std::function<void()>& act) {
  QTimer::singleShot(0, &dialog, [&dialog, act] {
    act();
    QTimer::singleShot(0, &dialog, [&dialog] {
      if (dialog.isVisible()) dialog.reject();
    });
  });
  return dialog.exec();
}

bool ClickAndRunShown(QWidget* button, qtui::QtForm& form, const std::function<void()>& act) {
  struct ShowHook : QObject {
    std::function<void()> run;
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Show && run) {
        QTimer::singleShot(0, run);
        run = nullptr;
      }
      return false;
    }
  } hook;
  // Counts the showings, so that the clean-up of one never ends a later one.
  static int showings = 0;
  QWidget* window = form.Window();
  bool ran = false;
  const int showing = ++showings;
  hook.run = [&form, window, act, &ran, showing] {
    ran = true;
    act();
    QTimer::singleShot(0, window, [&form, window, showing] {
      if (showings == showing && window->isVisible()) form.EndModal(ui::mrCancel);
    });
  };
  window->installEventFilter(&hook);
  QTest::mouseClick(button, Qt::LeftButton);
  window->removeEventFilter(&hook);
  return ran;
}

std::vector<std::string> TabChain(QWidget* window) {
  std::vector<std::string> names;
  QWidget* first = QApplication::focusWidget();
  if (!first) return names;
  names.push_back(first->objectName().toStdString());
  for (int i = 0; i < 64; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QWidget* now = QApplication::focusWidget();
    if (!now || now == first || now->window() != window) break;
    names.push_back(now->objectName().toStdString());
  }
  return names;
}

}  // namespace qttest
