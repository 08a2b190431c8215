#include "platform/win32/win32_text.h"

#include <windows.h>

namespace win32 {

std::wstring Widen(const std::string& text, unsigned codePage) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), w.data(), n);
  return w;
}

std::string Narrow(const std::wstring& text, unsigned codePage) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string s(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), s.data(), n, nullptr, nullptr);
  return s;
}

namespace {

// Length of a valid multi-byte UTF-8 sequence at p (2 to 4 bytes), or 0.
size_t Utf8SequenceAt(const std::string& s, size_t i) {
  const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(i);
  size_t len;
  unsigned cp;
  if (c >= 0xC2 && c <= 0xDF) { len = 2; cp = c & 0x1F; }
  else if (c >= 0xE0 && c <= 0xEF) { len = 3; cp = c & 0x0F; }
  else if (c >= 0xF0 && c <= 0xF4) { len = 4; cp = c & 0x07; }
  else return 0;
  if (i + len > s.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b(i + k) & 0x3F);
  }
  // Overlong forms and surrogates are not UTF-8.
  if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF))
    return 0;
  return len;
}

}  // namespace

std::string ToAnsi(const std::string& text) {
  std::wstring wide;
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      wide += static_cast<wchar_t>(c);
      ++i;
      continue;
    }
    size_t n = Utf8SequenceAt(text, i);
    unsigned cp = CP_UTF8;
    if (n == 0) {
      // Not UTF-8 here: one character of the ANSI code page.
      cp = CP_ACP;
      n = (IsDBCSLeadByte(c) && i + 1 < text.size()) ? 2 : 1;
    }
    wide += Widen(text.substr(i, n), cp);
    i += n;
  }
  return Narrow(wide, CP_ACP);
}

std::string FilterForDialog(const std::string& ansiFilter) {
  std::string f = ansiFilter;
  for (size_t i = 0; i < f.size(); ++i) {
    // The second byte of a double-byte character may be 0x7C; it is not a separator.
    if (IsDBCSLeadByte(static_cast<unsigned char>(f[i])) && i + 1 < f.size()) ++i;
    else if (f[i] == '|') f[i] = '\0';
  }
  f.push_back('\0');
  f.push_back('\0');
  return f;
}

size_t FileNameStart(const std::string& p) {
  size_t start = 0;
  for (size_t i = 0; i < p.size(); ++i) {
    if (IsDBCSLeadByte(static_cast<unsigned char>(p[i])) && i + 1 < p.size()) ++i;
    else if (p[i] == '\\' || p[i] == ':') start = i + 1;
  }
  return start;
}

std::vector<std::string> ParseOpenFileResult(const char* buffer, size_t size) {
  std::vector<std::string> parts;
  size_t i = 0;
  while (i < size && buffer[i] != '\0') {
    size_t end = i;
    while (end < size && buffer[end] != '\0') ++end;
    parts.emplace_back(buffer + i, end - i);
    i = end + 1;
  }
  if (parts.size() <= 1) return parts;
  // A folder and the names chosen in it.
  std::string folder = parts[0];
  const bool endsWithSeparator = !folder.empty() && FileNameStart(folder) == folder.size() &&
                                 folder.back() == '\\';
  if (!endsWithSeparator) folder += '\\';
  std::vector<std::string> files;
  for (size_t k = 1; k < parts.size(); ++k) files.push_back(folder + parts[k]);
  return files;
}

}  // namespace win32
