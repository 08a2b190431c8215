// An INI (profile) file held in memory: read with the rules of the Windows
// profile functions, changed key by key, and written back whole.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace settings {

class Profile {
 public:
  // Longest value a read returns, in bytes (the reader's buffer holds 1024 with the zero).
  static constexpr size_t kMaxValue = 1023;

  Profile() = default;
  explicit Profile(std::string_view content) { Parse(content); }

  // The value of the key, trimmed of blanks, without one pair of enclosing
  // quotes, cut to kMaxValue bytes; def when the section or key is missing.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view def) const;
  // The value parsed as a profile integer; def when missing, empty or no number.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;

  // Replaces the key's value where it stands, or adds the key after the last
  // key of its section, or the section after the last section.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int64_t value);

  // The whole file with the given line end.
  std::string Serialize(std::string_view newline) const;

 private:
  struct Line {
    std::string text;  // the line as it stands in the file
    size_t valueAt = std::string::npos;  // where the value starts, for a key line
  };
  struct Section {
    std::string header;  // "[name]" line as written; empty for lines before the first header
    std::vector<Line> lines;
    std::unordered_map<std::string, size_t> keys;  // lower-case key -> index in lines (first one)
    size_t lastKey = std::string::npos;
  };

  void Parse(std::string_view content);
  const Line* FindKey(std::string_view section, std::string_view key) const;
  Section* FindSection(std::string_view section);
  const Section* FindSection(std::string_view section) const;

  std::vector<Section> sections_;
  std::unordered_map<std::string, size_t> sectionIndex_;  // lower-case name -> first section
};

}  // namespace settings
