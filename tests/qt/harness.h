// The main window on the Qt front end, built as the program builds it, with a
// settings file in a fresh folder and the stand-in encoder; helpers to drive
// the real widgets (drops, keys) and to read what the program showed.
#pragma once

#include <QFileDialog>
#include <QMessageBox>
#include <QObject>
#include <QPoint>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <ostream>
#include <memory>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "about/about_form.h"
#include "app/option_form.h"
#include "platform/posix/posix.h"
#include "platform/qt/folder_picker.h"
#include "platform/qt/qt_app.h"
#include "platform/qt/qt_form.h"

// Readable QStrings in test messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace qttest {

std::string MakeTempDir();
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);
bool Exists(const std::string& path);

// What a message box showed.
struct BoxRecord {
  QString title, text;
  QMessageBox::Icon icon;
  QMessageBox::StandardButtons buttons;
};

// Receives the URLs that QDesktopServices::openUrl is asked to open.
class UrlRecorder : public QObject {
  Q_OBJECT
 public:
  explicit UrlRecorder(const QString& scheme);
  ~UrlRecorder() override;
  std::vector<QUrl> urls;

 public slots:
  void open(const QUrl& url) { urls.push_back(url); }

 private:
  QString scheme_;
};

class RecordingVerb : public app::ShellVerb {
 public:
  void Register() override { calls.push_back("register"); }
  void Unregister() override { calls.push_back("unregister"); }
  std::vector<std::string> calls;
};

// The argv of each run of the stand-in encoder, in the order they started.
std::vector<std::vector<std::string>> EncoderRuns(const std::string& logPath);

class Harness {
 public:
  // encoderPath goes into the settings file as the Encoder path; shellVerb, when
  // given, takes the place of the recording verb.
  explicit Harness(std::vector<std::string> args = {}, std::string encoderPath = TEST_ENCODER,
                   app::ShellVerb* shellVerb = nullptr);
  ~Harness();

  const std::string dir;
  qtui::QtApp app;
  posix::PosixProcess encoder;
  posix::PosixFileSystem fs;
  posix::FileSettingsStore store;
  RecordingVerb verb;
  qtui::QtFolderPicker picker;
  app::Services services;
  std::unique_ptr<app::TOggEncodeF> main;
  std::unique_ptr<app::TAboutF> about;
  std::unique_ptr<app::TEncodeOptionF> options;

  qtui::QtForm& Form();
  QWidget* Window();
  template <typename T = QWidget>
  T* W(const char* name) {
    return qobject_cast<T*>(Form().Widget(name));
  }
  ui::ListBox& List() { return main->form().Get<ui::ListBox>("lstSrcFile"); }
  std::vector<std::string> Entries();
  void Append(const std::vector<std::string>& entries);

  // Shows the main window as the message loop does (FormShow runs) and waits until it is active.
  void Show();
  std::string LogPath() const { return dir + "/encoder.log"; }

  // Message boxes shown so far; each is answered with its first button.
  std::vector<BoxRecord> boxes;
  // Answers a file dialog; without it every file dialog is cancelled.
  std::function<int(QFileDialog&)> onFileDialog;
  int fileDialogs = 0;
  // Runs the folder picker (for instance with RunShown); without it every picker is cancelled.
  std::function<int(qtui::FolderPickerDialog&)> onFolderPicker;
  int folderPickers = 0;
};

// Runs a modal dialog, doing act once its modal loop is running; a dialog that
// act left open is rejected afterwards, so that a test cannot hang.
int RunShown(QDialog& dialog, const std::function<void()>& act);

// Clicks button and runs act once form's window is shown modally; a form that
// act left open is ended with mrCancel afterwards, so that a test cannot hang.
// Returns whether the window was shown.
bool ClickAndRunShown(QWidget* button, qtui::QtForm& form, const std::function<void()>& act);

// Drags local files over a widget and drops them there, through the window's
// own drag handling (which picks the widget that takes the drop). Returns
// whether the drop was accepted.
bool DropOn(QWidget* target, const QStringList& paths, QPoint local = QPoint(-1, -1));

// The names of the visible widgets that Tab reaches, from the focused one on, until it comes back.
std::vector<std::string> TabChain(QWidget* window);

}  // namespace qttest
