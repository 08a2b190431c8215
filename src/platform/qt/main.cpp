// The Linux program: the Qt front end over the core.
#include <QApplication>

#include "app/application.h"
#include "platform/posix/posix.h"
#include "platform/qt/qt_app.h"
#include "platform/qt/qt_services.h"

int main(int argc, char** argv) {
  // Every argument is a source file, so Qt gets none of them to interpret.
  std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  int qtArgc = argc > 0 ? 1 : 0;
  QApplication application(qtArgc, argv);

  qtui::QtApp app;
  posix::PosixProcess encoder;
  posix::PosixFileSystem fs;
  posix::FileSettingsStore settings(posix::SettingsPath(posix::ExecutablePath()));
  qtui::UnimplementedShellVerb verb;
  qtui::QtFolderBrowser folders(app);
  app::Services services{app, encoder, fs, settings, verb, folders, encode::Traits::Posix(), args};
  return app::RunApplication(services);
}
