// The profile reader and writer: whatever is read survives a write and a
// second read, and a value written reads back as written.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "settings/profile.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// Names that occur in the input: each "[x]" as a section, each "k=" as a key.
void Names(const std::string& s, std::vector<std::string>& sections, std::vector<std::string>& keys) {
  size_t pos = 0;
  while (pos < s.size()) {
    size_t end = s.find('\n', pos);
    if (end == std::string::npos) end = s.size();
    const std::string line = s.substr(pos, end - pos);
    if (!line.empty() && line[0] == '[') sections.push_back(line.substr(1, line.find(']') - 1));
    else if (line.find('=') != std::string::npos) keys.push_back(line.substr(0, line.find('=')));
    pos = end + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const settings::Profile first(input);
  const settings::Profile second(first.Serialize("\r\n"));
  std::vector<std::string> sections{"Setting", "Option", "List"}, keys{"Count", "0", "OggPath"};
  Names(input, sections, keys);
  for (const auto& s : sections)
    for (const auto& k : keys) {
      Check(first.ReadString(s, k, "\x01") == second.ReadString(s, k, "\x01"));
      Check(first.ReadInteger(s, k, 7) == second.ReadInteger(s, k, 7));
    }
  // A value without line breaks, outer blanks or enclosing quotes reads back as written.
  settings::Profile edited(input);
  std::string value = input.substr(0, input.size() / 2);
  for (char& c : value)
    if (c == '\n' || c == '\r' || c == '\0') c = '_';
  if (value.size() > settings::Profile::kMaxValue) value.resize(settings::Profile::kMaxValue);
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.erase(0, 1);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.pop_back();
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) value.front() = '_';
  edited.WriteString("List", "5", value);
  edited.WriteInteger("List", "Count", static_cast<int64_t>(size) - 100);
  const settings::Profile reread(edited.Serialize("\n"));
  Check(reread.ReadString("List", "5", "") == value);
  Check(reread.ReadInteger("List", "Count", 0) == static_cast<int32_t>(size) - 100);
  return 0;
}
