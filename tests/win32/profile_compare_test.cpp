// Our profile reader against the system's: for each small INI file the text
// that settings::Profile::ReadString gives equals what GetPrivateProfileStringA
// copies into its 1024-byte buffer.
//
// Left out on purpose, because Wine's reader is known to differ from Windows'
// there and Windows is the reference:
// - a section header without its closing bracket ("[S" then "Key=v"): Wine's
//   GetPrivateProfileStringA gives the default for S/Key, while our reader,
//   following Windows, takes the rest of the line as the section's name and
//   gives "v".
#include "harness.h"

#include "settings/profile.h"

#include <cstring>

namespace {

using harness::Ansi;

struct Case {
  const char* what;
  std::string content;
  std::string section, key;
};

std::string Repeat(char c, size_t n) { return std::string(n, c); }

std::vector<Case> Cases() {
  const std::string x1500 = Repeat('x', 1500);
  const std::string jp = Ansi("曲ソ表=能");  // second bytes 0x5C and 0x5C, an "=" inside
  return {
      {"plain", "[Setting]\r\nOggPath=oggenc.exe\r\n", "Setting", "OggPath"},
      {"names in another case", "[SeTTing]\r\noggPATH=C:\\a.exe\r\n", "setting", "OGGPATH"},
      {"blanks around key and value", "[S]\r\n  Key  =   value with  inner  blanks   \r\n", "S", "Key"},
      {"tabs around the value", "[S]\r\nKey=\t v \t\r\n", "S", "Key"},
      {"blanks around the section name", "[ S ]\r\nKey=v\r\n", "S", "Key"},
      {"empty value", "[S]\r\nKey=\r\n", "S", "Key"},
      {"equals sign in the value", "[S]\r\nKey=a=b\r\n", "S", "Key"},
      {"double quotes", "[S]\r\nKey=\"quoted value\"\r\n", "S", "Key"},
      {"single quotes", "[S]\r\nKey='quoted value'\r\n", "S", "Key"},
      {"quotes with blanks outside", "[S]\r\nKey=  \" spaced \"  \r\n", "S", "Key"},
      {"mismatched quotes", "[S]\r\nKey=\"mixed'\r\n", "S", "Key"},
      {"opening quote only", "[S]\r\nKey=\"open\r\n", "S", "Key"},
      {"closing quote only", "[S]\r\nKey=close\"\r\n", "S", "Key"},
      {"empty quotes", "[S]\r\nKey=\"\"\r\n", "S", "Key"},
      {"a lone quote", "[S]\r\nKey=\"\r\n", "S", "Key"},
      {"quotes inside", "[S]\r\nKey=\"a\"b\"\r\n", "S", "Key"},
      {"other quotes inside quotes", "[S]\r\nKey='\"both\"'\r\n", "S", "Key"},
      {"value of 1023 bytes", "[S]\r\nKey=" + Repeat('y', 1023) + "\r\n", "S", "Key"},
      {"value of 1024 bytes", "[S]\r\nKey=" + Repeat('y', 1024) + "\r\n", "S", "Key"},
      {"value of 1500 bytes", "[S]\r\nKey=" + x1500 + "\r\n", "S", "Key"},
      {"quoted value of 1500 bytes", "[S]\r\nKey=\"" + x1500 + "\"\r\n", "S", "Key"},
      {"missing key", "[S]\r\nOther=v\r\n", "S", "Key"},
      {"missing section", "[T]\r\nKey=v\r\n", "S", "Key"},
      {"key of another section", "[T]\r\nKey=t\r\n[S]\r\nOther=s\r\n", "S", "Key"},
      {"empty file", "", "S", "Key"},
      {"duplicate key: the first", "[S]\r\nKey=first\r\nKey=second\r\n", "S", "Key"},
      {"duplicate section: the first", "[S]\r\nKey=first\r\n[S]\r\nKey=second\r\n", "S", "Key"},
      {"duplicate section: a key of the second", "[S]\r\nA=1\r\n[s]\r\nKey=second\r\n", "S", "Key"},
      {"line without equals sign", "[S]\r\nKey\r\nOther=v\r\n", "S", "Key"},
      {"key after a line without equals sign", "[S]\r\njust text\r\nKey=v\r\n", "S", "Key"},
      {"key before the first section", "Key=outside\r\n[S]\r\nKey=inside\r\n", "S", "Key"},
      {"blank lines", "\r\n[S]\r\n\r\nKey=v\r\n\r\n", "S", "Key"},
      {"line feeds only", "[S]\nA=1\nKey=lf\n", "S", "Key"},
      {"blank inside a key name", "[S]\r\nMy Key=v\r\n", "S", "My Key"},
      {"numbered list key", "[List]\r\nCount=2\r\n0=C:\\a.wav\r\n1=C:\\b.wav\r\n", "List", "1"},
      {"double-byte text", "[" + Ansi("設定") + "]\r\n" + Ansi("曲") + "=" + jp + "\r\n", Ansi("設定"), Ansi("曲")},
  };
}

TEST(ProfileAgainstSystem, OurReaderGivesWhatGetPrivateProfileStringAGives) {
  const std::string dir = harness::FreshDir();
  int n = 0;
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.what);
    const std::string path = dir + "\\case" + std::to_string(++n) + ".ini";
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(c.content.data(), 1, c.content.size(), f);
    std::fclose(f);
    char buf[1024];
    std::memset(buf, '#', sizeof buf);
    const DWORD got = GetPrivateProfileStringA(c.section.c_str(), c.key.c_str(), "DEFAULT", buf, sizeof buf,
                                               path.c_str());
    const std::string system(buf, got);
    const std::string ours = settings::Profile(c.content).ReadString(c.section, c.key, "DEFAULT");
    EXPECT_EQ(ours, system);
  }
  // A file that does not exist gives the default to both.
  char buf[1024] = {};
  const DWORD got =
      GetPrivateProfileStringA("S", "Key", "DEFAULT", buf, sizeof buf, (dir + "\\missing.ini").c_str());
  EXPECT_EQ(std::string(buf, got), "DEFAULT");
  EXPECT_EQ(settings::Profile("").ReadString("S", "Key", "DEFAULT"), "DEFAULT");
}

}  // namespace
