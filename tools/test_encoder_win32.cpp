// Windows only: before main runs, the stand-in encoder appends to
// $BRIMVALE_TEST_LOG the command line it received (GetCommandLineA) and its
// start-up record, as "cmdline <length> <bytes>\n" and
// "startup <dwFlags> <wShowWindow> <process id>\n".
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct RecordStart {
  RecordStart() {
    const char* log = std::getenv("BRIMVALE_TEST_LOG");
    if (!log || !*log) return;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    GetStartupInfoA(&si);
    const std::string line = GetCommandLineA();
    const std::string record = "cmdline " + std::to_string(line.size()) + " " + line + "\nstartup " +
                               std::to_string(si.dwFlags) + " " + std::to_string(si.wShowWindow) + " " +
                               std::to_string(GetCurrentProcessId()) + "\n";
    if (FILE* f = std::fopen(log, "ab")) {
      std::fwrite(record.data(), 1, record.size(), f);
      std::fclose(f);
    }
  }
} recordStart;

}  // namespace
