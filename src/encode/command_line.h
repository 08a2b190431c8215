// The encoder command line for one file: option text, output path and the
// command itself, in the Windows text form and as a POSIX argv.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "text/text.h"
#include "ui/ui.h"

namespace encode {

// What differs between the platforms the program is built for.
struct Traits {
  text::PathRules path;
  std::string defaultEncoder;                // the Encoder path's initial text
  std::vector<std::string> oldEncoderNames;  // file names that draw the ogglame warning
  size_t maxCommandLine = 0;                 // characters including the terminating zero; 0: no limit
  bool windowsCommandLine = true;            // the encoder reads one quoted command line
  std::string newline = "\r\n";              // line end of the settings file

  static Traits Windows();
  static Traits Posix();
};

// "-b <kbps> " for the bit-rate entries 1 to 5, nothing for entry 0 or none;
// "-r " appended in raw mode.
std::string BuildOptionText(int bitRateIndex, bool rawMode);

// The folder text without one trailing separator.
std::string PrepareOutputFolder(const std::string& folder, const Traits& traits);

// The output file: the source with the extension of its file-name part
// replaced by ".ogg", placed in the prepared folder when one is given.
std::string BuildOutputPath(const std::string& source, const std::string* preparedFolder,
                            const Traits& traits);

// "<encoder>" <options> "<source>" --output="<output>"
std::string BuildCommandLine(const std::string& encoder, const std::string& optionText,
                             const std::string& source, const std::string& output);

// The same parts as an argv: the options split at blanks, a source that
// begins with "-" passed as "./-..." so that it cannot be taken for an option.
std::vector<std::string> BuildArgv(const std::string& encoder, const std::string& optionText,
                                   const std::string& source, const std::string& output);

// Both forms of the command for one file.
ui::EncoderCommand BuildCommand(const std::string& encoder, const std::string& optionText,
                                const std::string& source, const std::string& output);

// Why an entry is not handed to the encoder.
enum class Refusal { None, SourceIsOutput, QuoteInPath, CommandTooLong };
Refusal CheckEntry(const std::string& encoder, const std::string& source,
                   const std::string& output, const ui::EncoderCommand& command,
                   const Traits& traits);

// The file-name part of the encoder path is one of the old encoder names.
bool IsOldEncoder(const std::string& encoderPath, const Traits& traits);

// Splits a command line into arguments: blanks separate them, a stretch
// between double quotes belongs to one argument and its quotes are dropped.
std::vector<std::string> SplitArguments(const std::string& commandLine);

}  // namespace encode
