// Byte-string rules shared by every part of the program: code-page-aware
// searches, the file-name part of a path, and number parsing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace text {

// How the program's 8-bit text is encoded and how paths are formed.
struct PathRules {
  enum class CodePage { Utf8, Cp932 };
  CodePage codePage = CodePage::Utf8;
  // Characters after which the file-name part of a path starts.
  std::string_view separators = "/";
  // Joins a folder and a file name.
  char joiner = '/';
  // File names compare without regard to case.
  bool caseInsensitive = false;

  static PathRules Windows();  // CP932, "\\" and ":", joiner "\\", case-insensitive
  static PathRules Posix();    // UTF-8, "/", joiner "/"
};

// True when b starts a double-byte character in code page 932.
bool IsCp932LeadByte(unsigned char b);

// Index of the last whole character equal to the ASCII character c, or npos.
// In CP932 a byte that is the second half of a double-byte character never
// matches; in UTF-8 ASCII bytes are always whole characters.
size_t FindLastChar(std::string_view s, char c, PathRules::CodePage cp);

// Index of the last whole character that is one of the ASCII characters in set.
size_t FindLastOf(std::string_view s, std::string_view set, PathRules::CodePage cp);

// The last whole character of s is c.
bool EndsWithChar(std::string_view s, char c, PathRules::CodePage cp);

// Everything after the last separator of the path; the whole path without one.
std::string FileNamePart(std::string_view path, const PathRules& rules);

// Equality of two paths under the rules (ASCII case folding when case-insensitive).
bool SamePath(std::string_view a, std::string_view b, const PathRules& rules);

// Integer as a profile file reads it: leading blanks skipped, then an optional
// sign and decimal digits within the signed 32-bit range, or hexadecimal digits
// after "0x", "0X", "$", "x" or "X" taken as a 32-bit pattern. The whole text
// must be used up; otherwise nothing.
std::optional<int32_t> ParseProfileInt(std::string_view s);

// Decimal text of n.
std::string Decimal(long long n);

}  // namespace text
