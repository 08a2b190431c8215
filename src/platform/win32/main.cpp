// The Windows program's entry point: the Win32 services around the core.
#include "app/application.h"
#include "app/services.h"
#include "encode/command_line.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_ui.h"

#include <objbase.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  // The folder browser needs COM on this thread.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int rc = 0;
  {
    win32::Win32App app(instance);
    win32::Win32Process encoder;
    win32::Win32FileSystem fs;
    win32::IniFileStore settings(win32::SettingsPathBesideExe());
    // The Explorer verb under HKEY_CLASSES_ROOT, with this program's own path.
    settings::RegistryShellVerb verb = win32::ShellVerb(win32::ModulePath());
    win32::Win32FolderBrowserPort browser;
    app::Services services{app,  encoder, fs, settings, verb, browser, encode::Traits::Windows(),
                           win32::CommandLineArguments()};
    rc = app::RunApplication(services);
  }
  CoUninitialize();
  return rc;
}
