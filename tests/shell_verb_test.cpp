#include <gtest/gtest.h>

#include <map>
#include <optional>

#include "settings/shell_verb.h"
#include "ui/ui.h"

namespace {

// HKEY_CLASSES_ROOT in memory: key paths compare without regard to case.
class MemoryRegistry : public settings::Registry {
 public:
  struct Key {
    std::optional<std::string> value;
    bool stringType = true;
  };
  static std::string Fold(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  }
  void Put(const std::string& path, std::optional<std::string> value, bool stringType = true) {
    keys[Fold(path)] = {std::move(value), stringType};
  }
  bool OpenKey(const std::string& path, bool create) override {
    const std::string k = Fold(path);
    if (!keys.count(k)) {
      if (!create || readOnly) return false;
      // Missing parents are created along the way.
      for (size_t i = k.find('\\'); i != std::string::npos; i = k.find('\\', i + 1))
        keys.emplace(k.substr(0, i), Key{});
      keys[k] = Key{};
    }
    current = k;
    return true;
  }
  std::string ReadDefault() override {
    const Key& key = keys.at(current);
    if (!key.stringType) throw ui::Error(settings::RegistryMessage(settings::kRegBadType, ""));
    return key.value.value_or("");
  }
  void WriteDefault(const std::string& v) override {
    ++writes;
    keys.at(current).value = v;
  }
  void CloseKey() override { current.clear(); }
  void DeleteKeyTree(const std::string& path) override {
    const std::string k = Fold(path);
    for (auto it = keys.begin(); it != keys.end();) {
      if (it->first == k || it->first.rfind(k + "\\", 0) == 0) it = keys.erase(it);
      else ++it;
    }
  }
  std::optional<std::string> Value(const std::string& path) {
    auto it = keys.find(Fold(path));
    if (it == keys.end()) return std::nullopt;
    return it->second.value.value_or("");
  }
  bool Has(const std::string& path) { return keys.count(Fold(path)) != 0; }

  std::map<std::string, Key> keys;
  std::string current;
  bool readOnly = false;
  int writes = 0;
};

const std::string kExe = "C:\\Program Files\\Tools\\brimvale.exe";

TEST(ShellVerb, RegistersUnderTheTypeOfEachExtensionThatHasOne) {
  MemoryRegistry reg;
  reg.Put(".wav", "wavfile");
  reg.Put("wavfile\\shell", "play");
  settings::RegisterShellVerb(reg, kExe);
  EXPECT_EQ(reg.Value("wavfile\\shell\\BrimvaleEncode"), "&Brimvaleに送る");
  EXPECT_EQ(reg.Value("wavfile\\shell\\BrimvaleEncode\\command"),
            "\"C:\\Program Files\\Tools\\brimvale.exe\" \"%1\"");
  EXPECT_EQ(reg.Value("wavfile\\shell"), "play") << "the type's default verb is untouched";
  EXPECT_FALSE(reg.Has(".mp3")) << "an extension without a key is only read";
  EXPECT_EQ(reg.writes, 2);

  reg.Put("wavfile\\shell\\BrimvaleEncode\\extra", "x");
  settings::UnregisterShellVerb(reg);
  EXPECT_FALSE(reg.Has("wavfile\\shell\\BrimvaleEncode"));
  EXPECT_FALSE(reg.Has("wavfile\\shell\\BrimvaleEncode\\extra"));
  EXPECT_TRUE(reg.Has("wavfile\\shell"));
  const auto before = reg.keys.size();
  settings::UnregisterShellVerb(reg);
  EXPECT_EQ(reg.keys.size(), before);
}

TEST(ShellVerb, SharedTypesEmptyTypesAndMissingRights) {
  MemoryRegistry shared;
  shared.Put(".wav", "audio");
  shared.Put(".MP3", "AUDIO");
  settings::RegisterShellVerb(shared, "C:\\b.exe");
  EXPECT_EQ(shared.writes, 4);
  EXPECT_EQ(shared.Value("audio\\shell\\brimvaleencode\\command"), "\"C:\\b.exe\" \"%1\"");

  MemoryRegistry empty;
  empty.Put(".wav", "");
  empty.Put(".mp3", std::nullopt);
  settings::RegisterShellVerb(empty, kExe);
  EXPECT_EQ(empty.writes, 0);

  MemoryRegistry locked;
  locked.Put(".wav", "wavfile");
  locked.readOnly = true;
  EXPECT_NO_THROW(settings::RegisterShellVerb(locked, kExe));
  EXPECT_EQ(locked.writes, 0);
}

TEST(ShellVerb, AValueOfTheWrongTypeIsAnError) {
  MemoryRegistry reg;
  reg.Put(".wav", "x", /*stringType=*/false);
  try {
    settings::RegisterShellVerb(reg, kExe);
    FAIL() << "no error";
  } catch (const ui::Error& e) {
    EXPECT_STREQ(e.what(), "'' のﾃﾞｰﾀ型が不正です");
  }
  EXPECT_TRUE(reg.current.empty()) << "the key was closed";
}

}  // namespace
