// The code-page-aware searches and the file-name part against a plain
// character-by-character reading of the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "encode/command_line.h"
#include "text/text.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// Start offsets of the whole characters of s in CP932.
std::string Starts(const std::string& s) {
  std::string starts(s.size(), 0);
  for (size_t i = 0; i < s.size(); ++i) {
    starts[i] = 1;
    if (text::IsCp932LeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ++i;
  }
  return starts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string s(reinterpret_cast<const char*>(data), size);
  const std::string starts = Starts(s);
  for (const char c : {'\\', '.', ':'}) {
    const size_t found = text::FindLastChar(s, c, text::PathRules::CodePage::Cp932);
    size_t expected = std::string::npos;
    for (size_t i = 0; i < s.size(); ++i)
      if (starts[i] && s[i] == c) expected = i;
    Check(found == expected);
  }
  for (const auto& traits : {encode::Traits::Windows(), encode::Traits::Posix()}) {
    const std::string name = text::FileNamePart(s, traits.path);
    Check(name.size() <= s.size() && s.compare(s.size() - name.size(), name.size(), name) == 0);
    const std::string out = encode::BuildOutputPath(s, nullptr, traits);
    Check(out.size() >= 4 && out.compare(out.size() - 4, 4, ".ogg") == 0);
    // Only the file-name part loses its extension; the folder part stays.
    const std::string folder = s.substr(0, s.size() - name.size());
    Check(out.compare(0, folder.size(), folder) == 0);
    const std::string prepared = encode::PrepareOutputFolder(s, traits);
    Check(prepared == s || prepared.size() + 1 == s.size());
  }
  (void)text::ParseProfileInt(s);
  return 0;
}
