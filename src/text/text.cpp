#include "text/text.h"

#include <cctype>

namespace text {

PathRules PathRules::Windows() {
  PathRules r;
  r.codePage = CodePage::Cp932;
  r.separators = "\\:";
  r.joiner = '\\';
  r.caseInsensitive = true;
  return r;
}

PathRules PathRules::Posix() { return PathRules{}; }

bool IsCp932LeadByte(unsigned char b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

size_t FindLastOf(std::string_view s, std::string_view set, PathRules::CodePage cp) {
  size_t found = std::string_view::npos;
  if (cp == PathRules::CodePage::Utf8) {
    size_t i = s.find_last_of(set);
    return i;
  }
  // CP932: walk forward so that trail bytes are skipped as part of their character.
  for (size_t i = 0; i < s.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    if (IsCp932LeadByte(b) && i + 1 < s.size()) {
      ++i;
      continue;
    }
    if (set.find(static_cast<char>(b)) != std::string_view::npos) found = i;
  }
  return found;
}

size_t FindLastChar(std::string_view s, char c, PathRules::CodePage cp) {
  return FindLastOf(s, std::string_view(&c, 1), cp);
}

bool EndsWithChar(std::string_view s, char c, PathRules::CodePage cp) {
  return !s.empty() && FindLastChar(s, c, cp) == s.size() - 1;
}

std::string FileNamePart(std::string_view path, const PathRules& rules) {
  const size_t i = FindLastOf(path, rules.separators, rules.codePage);
  if (i == std::string_view::npos) return std::string(path);
  return std::string(path.substr(i + 1));
}

bool SamePath(std::string_view a, std::string_view b, const PathRules& rules) {
  if (a.size() != b.size()) return false;
  if (!rules.caseInsensitive) return a == b;
  // ASCII folding only, and never inside a double-byte character.
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (rules.codePage == PathRules::CodePage::Cp932 && IsCp932LeadByte(x)) {
      if (x != y || i + 1 >= a.size() || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (x < 0x80) x = static_cast<unsigned char>(std::tolower(x));
    if (y < 0x80) y = static_cast<unsigned char>(std::tolower(y));
    if (x != y) return false;
  }
  return true;
}

std::optional<int32_t> ParseProfileInt(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  s.remove_prefix(i);
  if (s.empty()) return std::nullopt;
  size_t hexStart = 0;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) hexStart = 2;
  else if (s.size() > 1 && (s[0] == '$' || s[0] == 'x' || s[0] == 'X')) hexStart = 1;
  if (hexStart) {
    uint64_t v = 0;
    for (size_t k = hexStart; k < s.size(); ++k) {
      const char ch = s[k];
      int d;
      if (ch >= '0' && ch <= '9') d = ch - '0';
      else if (ch >= 'a' && ch <= 'f') d = ch - 'a' + 10;
      else if (ch >= 'A' && ch <= 'F') d = ch - 'A' + 10;
      else return std::nullopt;
      v = v * 16 + static_cast<uint64_t>(d);
      if (v > 0xFFFFFFFFull) return std::nullopt;
    }
    return static_cast<int32_t>(static_cast<uint32_t>(v));
  }
  bool negative = false;
  size_t k = 0;
  if (s[0] == '+' || s[0] == '-') {
    negative = s[0] == '-';
    k = 1;
  }
  if (k >= s.size()) return std::nullopt;
  int64_t v = 0;
  for (; k < s.size(); ++k) {
    const char ch = s[k];
    if (ch < '0' || ch > '9') return std::nullopt;
    v = v * 10 + (ch - '0');
    if (v > 2147483648LL) return std::nullopt;
  }
  if (negative) v = -v;
  if (v > 2147483647LL || v < -2147483648LL) return std::nullopt;
  return static_cast<int32_t>(v);
}

std::string Decimal(long long n) { return std::to_string(n); }

}  // namespace text
