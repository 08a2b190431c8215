// The file-manager verb "BrimvaleEncode" on the file types of .wav and .mp3,
// written through a registry port rooted at HKEY_CLASSES_ROOT.
#pragma once

#include <memory>
#include <string>

#include "app/services.h"

namespace settings {

// Messages of the registry layer; the value's name stands for %s.
extern const char* const kRegBadType;    // "'%s' のﾃﾞｰﾀ型が不正です"
extern const char* const kRegReadFail;   // "'%s' の取得に失敗しました"
extern const char* const kRegWriteFail;  // "'%s' の設定に失敗しました"
// The message with the value name put in.
std::string RegistryMessage(const char* format, const std::string& valueName);

// A registry accessor with one current key, paths given from the root.
class Registry {
 public:
  virtual ~Registry() = default;
  // Opens an existing key (create false) or creates it and its missing parents.
  virtual bool OpenKey(const std::string& path, bool create) = 0;
  // The current key's default value as text; empty when missing. Throws ui::Error
  // with kRegBadType or kRegReadFail.
  virtual std::string ReadDefault() = 0;
  // Writes the current key's default value; throws ui::Error with kRegWriteFail.
  virtual void WriteDefault(const std::string& value) = 0;
  virtual void CloseKey() = 0;
  // Deletes the key with all its subkeys; failure is passed over.
  virtual void DeleteKeyTree(const std::string& path) = 0;
};

constexpr const char* kVerbName = "BrimvaleEncode";
constexpr const char* kVerbCaption = "&Brimvaleに送る";

// The command value: the executable's path in quotes, a blank and "%1".
std::string VerbCommand(const std::string& executablePath);

// The caption is written as given: the platform's text (on Windows the ANSI
// code page), as is the executable's path.
void RegisterShellVerb(Registry& reg, const std::string& executablePath,
                       const std::string& caption = kVerbCaption);
void UnregisterShellVerb(Registry& reg);

// The verb through a registry accessor created for each operation.
class RegistryShellVerb : public app::ShellVerb {
 public:
  using Factory = std::unique_ptr<Registry> (*)();
  RegistryShellVerb(Factory factory, std::string executablePath, std::string caption = kVerbCaption)
      : factory_(factory), exe_(std::move(executablePath)), caption_(std::move(caption)) {}
  void Register() override { RegisterShellVerb(*factory_(), exe_, caption_); }
  void Unregister() override { UnregisterShellVerb(*factory_()); }

 private:
  Factory factory_;
  std::string exe_;
  std::string caption_;
};

}  // namespace settings
