#include "encode/command_line.h"

namespace encode {

Traits Traits::Windows() {
  Traits t;
  t.path = text::PathRules::Windows();
  t.defaultEncoder = "oggenc.exe";
  t.oldEncoderNames = {"ogglame.exe"};
  t.maxCommandLine = 32767;
  t.windowsCommandLine = true;
  t.newline = "\r\n";
  return t;
}

Traits Traits::Posix() {
  Traits t;
  t.path = text::PathRules::Posix();
  t.defaultEncoder = "oggenc";
  t.oldEncoderNames = {"ogglame", "ogglame.exe"};
  t.maxCommandLine = 0;
  t.windowsCommandLine = false;
  t.newline = "\n";
  return t;
}

std::string BuildOptionText(int bitRateIndex, bool rawMode) {
  // Bit rates of the entries 1 to 5 in kb/s; entry 0 leaves the encoder's default quality.
  static const char* const kRates[] = {nullptr, "128", "160", "192", "256", "350"};
  std::string s;
  if (bitRateIndex >= 1 && bitRateIndex <= 5) {
    s += "-b ";
    s += kRates[bitRateIndex];
    s += ' ';
  }
  if (rawMode) s += "-r ";
  return s;
}

std::string PrepareOutputFolder(const std::string& folder, const Traits& traits) {
  std::string s = folder;
  if (text::EndsWithChar(s, traits.path.joiner, traits.path.codePage)) s.pop_back();
  return s;
}

std::string BuildOutputPath(const std::string& source, const std::string* preparedFolder,
                            const Traits& traits) {
  // Only a '.' inside the file-name part starts the extension.
  const size_t sep = text::FindLastOf(source, traits.path.separators, traits.path.codePage);
  const size_t nameStart = sep == std::string::npos ? 0 : sep + 1;
  std::string stem = source;
  const size_t dot =
      text::FindLastChar(std::string_view(source).substr(nameStart), '.', traits.path.codePage);
  if (dot != std::string::npos) stem.resize(nameStart + dot);
  std::string out = stem + ".ogg";
  if (preparedFolder) return *preparedFolder + traits.path.joiner + text::FileNamePart(out, traits.path);
  return out;
}

std::string BuildCommandLine(const std::string& encoder, const std::string& optionText,
                             const std::string& source, const std::string& output) {
  return "\"" + encoder + "\" " + optionText + " \"" + source + "\" --output=\"" + output + "\"";
}

std::vector<std::string> BuildArgv(const std::string& encoder, const std::string& optionText,
                                   const std::string& source, const std::string& output) {
  std::vector<std::string> argv{encoder};
  size_t i = 0;
  while (i < optionText.size()) {
    while (i < optionText.size() && optionText[i] == ' ') ++i;
    const size_t start = i;
    while (i < optionText.size() && optionText[i] != ' ') ++i;
    if (i > start) argv.push_back(optionText.substr(start, i - start));
  }
  argv.push_back(!source.empty() && source[0] == '-' ? "./" + source : source);
  argv.push_back("--output=" + output);
  return argv;
}

ui::EncoderCommand BuildCommand(const std::string& encoder, const std::string& optionText,
                                const std::string& source, const std::string& output) {
  return {BuildCommandLine(encoder, optionText, source, output),
          BuildArgv(encoder, optionText, source, output)};
}

Refusal CheckEntry(const std::string& encoder, const std::string& source,
                   const std::string& output, const ui::EncoderCommand& command,
                   const Traits& traits) {
  if (text::SamePath(source, output, traits.path)) return Refusal::SourceIsOutput;
  if (traits.windowsCommandLine) {
    // A double quote cannot stand in a Windows file name and would end the quoted item early.
    for (const std::string* s : {&encoder, &source, &output})
      if (s->find('"') != std::string::npos) return Refusal::QuoteInPath;
  }
  if (traits.maxCommandLine && command.commandLine.size() + 1 > traits.maxCommandLine)
    return Refusal::CommandTooLong;
  return Refusal::None;
}

bool IsOldEncoder(const std::string& encoderPath, const Traits& traits) {
  const std::string name = text::FileNamePart(encoderPath, traits.path);
  for (const auto& old : traits.oldEncoderNames)
    if (name == old) return true;
  return false;
}

std::vector<std::string> SplitArguments(const std::string& commandLine) {
  std::vector<std::string> args;
  size_t i = 0;
  const size_t n = commandLine.size();
  while (true) {
    // Anything up to and including the space separates arguments.
    while (i < n && static_cast<unsigned char>(commandLine[i]) <= ' ') ++i;
    if (i >= n) break;
    std::string arg;
    bool quoted = false;
    while (i < n) {
      const char c = commandLine[i];
      if (c == '"') {
        quoted = !quoted;
      } else if (!quoted && static_cast<unsigned char>(c) <= ' ') {
        break;
      } else {
        arg += c;
      }
      ++i;
    }
    args.push_back(arg);
  }
  return args;
}

}  // namespace encode
