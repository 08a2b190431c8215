// The Linux program: the Qt front end over the core.
#include <QApplication>
#include <QEvent>
#include <QTimer>

#include "app/application.h"
#include "platform/posix/desktop_verb.h"
#include "platform/posix/posix.h"
#include "platform/qt/folder_picker.h"
#include "platform/qt/qt_app.h"

namespace {

// With BRIMVALE_QUIT_AFTER_FIRST_SHOW set (the start-up benchmark sets it), the
// program ends as soon as the main window has been painted for the first time,
// without a close request, so nothing is saved. Unset, it changes nothing.
class QuitAfterFirstShow : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!done_ && event->type() == QEvent::Paint && watched->objectName() == QLatin1String("OggEncodeF")) {
      done_ = true;
      QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    }
    return false;
  }

 private:
  bool done_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  // Every argument is a source file, so Qt gets none of them to interpret.
  std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  int qtArgc = argc > 0 ? 1 : 0;
  QApplication application(qtArgc, argv);
  QuitAfterFirstShow quitAfterFirstShow;
  if (qEnvironmentVariableIsSet("BRIMVALE_QUIT_AFTER_FIRST_SHOW")) application.installEventFilter(&quitAfterFirstShow);

  qtui::QtApp app;
  posix::PosixProcess encoder;
  posix::PosixFileSystem fs;
  const std::string exe = posix::ExecutablePath();
  posix::FileSettingsStore settings(posix::SettingsPath(exe));
  posix::DesktopEntryVerb verb(exe);
  qtui::QtFolderPicker picker(app);
  app::Services services{app, encoder, fs, settings, verb, picker, encode::Traits::Posix(), args};
  return app::RunApplication(services);
}
