// Text at the boundary to the Windows A functions: the core's captions and
// messages are UTF-8, its paths are ANSI-code-page text.
#pragma once

#include <string>
#include <vector>

namespace win32 {

// UTF-16 from text in the given code page, and back.
std::wstring Widen(const std::string& text, unsigned codePage);
std::string Narrow(const std::wstring& text, unsigned codePage);

// Text for the A functions from a caption or message of the core. Captions are
// UTF-8; a message may join a UTF-8 text with an ANSI path, so every stretch
// that is valid multi-byte UTF-8 is read as UTF-8 and the rest as ANSI.
std::string ToAnsi(const std::string& text);

// Replaces each whole-character '|' with a zero byte and ends the text with
// two zero bytes: the filter form of the open-file dialog.
std::string FilterForDialog(const std::string& ansiFilter);

// The names an Explorer-style multiple-choice open-file dialog returned in its
// buffer: one full path, or a folder followed by names, each ended by a zero
// byte and the whole by a second zero byte. The result is full paths.
std::vector<std::string> ParseOpenFileResult(const char* buffer, size_t size);

// Index after the last whole-character backslash or colon (the file-name part's start).
size_t FileNameStart(const std::string& ansiPath);

}  // namespace win32
