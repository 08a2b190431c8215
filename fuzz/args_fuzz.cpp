// The argument splitter never fails, and the Windows command line it reads
// gives back every part that has no double quote.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "encode/command_line.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string s(reinterpret_cast<const char*>(data), size);
  const auto any = encode::SplitArguments(s);
  for (const auto& a : any) Check(a.find('"') == std::string::npos);

  // Three parts taken from the input, as a file name would be.
  std::string parts[3];
  size_t k = 0;
  for (char c : s) {
    if (c == '\x01' && k < 2) ++k;
    else if (c != '"' && c != '\0') parts[k] += c;
  }
  const encode::Traits w = encode::Traits::Windows();
  const std::string& encoder = parts[0];
  const std::string& source = parts[1];
  const std::string output = encode::BuildOutputPath(source, nullptr, w);
  const auto cmd = encode::BuildCommand(encoder, encode::BuildOptionText(static_cast<int>(size % 7) - 1, size % 2),
                                        source, output);
  const auto split = encode::SplitArguments(cmd.commandLine);
  Check(split.size() == cmd.argv.size());
  Check(split.front() == encoder);
  Check(split[split.size() - 2] == source);
  Check(split.back() == "--output=" + output);
  return 0;
}
