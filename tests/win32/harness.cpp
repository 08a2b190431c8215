#include "harness.h"

#include "encode/command_line.h"

namespace harness {

TestApp& App() {
  static TestApp app(GetModuleHandleA(nullptr));
  return app;
}

void MainWindow::SetUp() {
  App().SetTitle("Brimvale");
  dir = FreshDir();
  iniPath = dir + "\\brimvale.ini";
  settings = std::make_unique<win32::IniFileStore>(iniPath);
  services = std::make_unique<app::Services>(app::Services{
      App(), process, fs, *settings, verb, browser, encode::Traits::Windows(), {}});
  main = std::make_unique<app::TOggEncodeF>(*services);
  about = std::make_unique<app::TAboutF>(App());
  options = std::make_unique<app::TEncodeOptionF>(App());
  main->SetDialogs(about.get(), options.get());
}

void MainWindow::TearDown() {
  options.reset();
  about.reset();
  main.reset();
  App().ProcessMessages();
}

}  // namespace harness
