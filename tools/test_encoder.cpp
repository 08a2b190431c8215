// A stand-in encoder for tests. It appends one record of its arguments to the
// file named by BRIMVALE_TEST_LOG, writes the file named by --output=, and
// takes its behaviour from the environment:
//   BRIMVALE_TEST_SLEEP_MS   run time in milliseconds (default 0)
//   BRIMVALE_TEST_EXIT       exit code (default 0)
//   BRIMVALE_TEST_FAIL_IF    exit with code 1 when an argument contains this text
//   BRIMVALE_TEST_CRASH      1: end by abort()
//   BRIMVALE_TEST_FLOOD_KB   write this many KiB to standard output first
//   BRIMVALE_TEST_NO_OUTPUT  1: write no output file
// A record is "start <ms>\n", then "arg <length> <bytes>\n" per argument, then
// "end <ms>\n" once the run time has passed; times are wall-clock milliseconds.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

long long NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

const char* Env(const char* name) {
  const char* v = std::getenv(name);
  return v && *v ? v : nullptr;
}

void Append(const std::string& text) {
  const char* log = Env("BRIMVALE_TEST_LOG");
  if (!log) return;
  if (FILE* f = std::fopen(log, "ab")) {
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::string record = "start " + std::to_string(NowMs()) + "\n";
  std::string output;
  bool fail = false;
  const char* failIf = Env("BRIMVALE_TEST_FAIL_IF");
  for (int i = 0; i < argc; ++i) {
    const std::string a = argv[i];
    record += "arg " + std::to_string(a.size()) + " " + a + "\n";
    if (i > 0 && a.rfind("--output=", 0) == 0) output = a.substr(9);
    if (i > 0 && failIf && a.find(failIf) != std::string::npos) fail = true;
  }
  Append(record);

  if (const char* kb = Env("BRIMVALE_TEST_FLOOD_KB")) {
    std::string block(1024, 'x');
    for (long n = std::atol(kb); n > 0; --n) std::fwrite(block.data(), 1, block.size(), stdout);
    std::fflush(stdout);
  }
  if (!output.empty() && !Env("BRIMVALE_TEST_NO_OUTPUT")) {
    if (FILE* f = std::fopen(output.c_str(), "wb")) {
      std::fputs("OggS test output\n", f);
      std::fclose(f);
    }
  }
  if (const char* ms = Env("BRIMVALE_TEST_SLEEP_MS"))
    std::this_thread::sleep_for(std::chrono::milliseconds(std::atol(ms)));
  if (Env("BRIMVALE_TEST_CRASH")) std::abort();
  Append("end " + std::to_string(NowMs()) + "\n");
  if (fail) return 1;
  if (const char* code = Env("BRIMVALE_TEST_EXIT")) return std::atoi(code);
  return 0;
}
