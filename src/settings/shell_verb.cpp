#include "settings/shell_verb.h"

namespace settings {

const char* const kRegBadType = "'%s' のﾃﾞｰﾀ型が不正です";
const char* const kRegReadFail = "'%s' の取得に失敗しました";
const char* const kRegWriteFail = "'%s' の設定に失敗しました";

std::string RegistryMessage(const char* format, const std::string& valueName) {
  std::string f = format;
  const size_t at = f.find("%s");
  if (at != std::string::npos) f.replace(at, 2, valueName);
  return f;
}

std::string VerbCommand(const std::string& executablePath) {
  // Quoted, so that a path with blanks arrives as one program name.
  return "\"" + executablePath + "\" \"%1\"";
}

namespace {

const char* const kExtensions[] = {".wav", ".mp3"};

std::string TypeName(Registry& reg, const std::string& extension) {
  std::string type;
  if (reg.OpenKey(extension, false)) {
    try {
      type = reg.ReadDefault();
    } catch (...) {
      reg.CloseKey();
      throw;
    }
  }
  reg.CloseKey();
  return type;
}

void WriteKey(Registry& reg, const std::string& path, const std::string& value) {
  if (reg.OpenKey(path, true)) {
    try {
      reg.WriteDefault(value);
    } catch (...) {
      reg.CloseKey();
      throw;
    }
  }
  reg.CloseKey();
}

}  // namespace

void RegisterShellVerb(Registry& reg, const std::string& executablePath, const std::string& caption) {
  for (const char* ext : kExtensions) {
    const std::string type = TypeName(reg, ext);
    if (type.empty()) continue;
    const std::string verb = type + "\\shell\\" + kVerbName;
    WriteKey(reg, verb, caption);
    WriteKey(reg, verb + "\\command", VerbCommand(executablePath));
  }
}

void UnregisterShellVerb(Registry& reg) {
  for (const char* ext : kExtensions) {
    const std::string type = TypeName(reg, ext);
    if (type.empty()) continue;
    reg.DeleteKeyTree(type + "\\shell\\" + kVerbName);
  }
}

}  // namespace settings
