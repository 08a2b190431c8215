#include <gtest/gtest.h>

#include "text/text.h"

namespace {

using text::PathRules;

// "表" in CP932 is 0x95 0x5C: its second byte is a backslash.
const std::string kHyo = "\x95\x5C";
// "ソ" in CP932 is 0x83 0x5C.
const std::string kSo = "\x83\x5C";

TEST(FileNamePart, WindowsAndPosixForms) {
  struct Case {
    std::string path;
    PathRules rules;
    std::string expected;
  };
  const Case cases[] = {
      {"C:\\music\\a.wav", PathRules::Windows(), "a.wav"},
      {"C:a.wav", PathRules::Windows(), "a.wav"},
      {"a.wav", PathRules::Windows(), "a.wav"},
      {"C:\\music\\", PathRules::Windows(), ""},
      {"C:\\" + kHyo + "\\" + kSo, PathRules::Windows(), kSo},
      {"C:\\dir\\x" + kHyo, PathRules::Windows(), "x" + kHyo},
      {"/home/u/a.wav", PathRules::Posix(), "a.wav"},
      {"/home/u/a\\b.wav", PathRules::Posix(), "a\\b.wav"},
      {"relative", PathRules::Posix(), "relative"},
      {"/home/u/日本語.wav", PathRules::Posix(), "日本語.wav"},
  };
  for (const Case& c : cases) EXPECT_EQ(text::FileNamePart(c.path, c.rules), c.expected) << c.path;
}

TEST(FindLastChar, SecondBytesOfDoubleByteCharactersNeverMatch) {
  const auto cp932 = PathRules::CodePage::Cp932;
  EXPECT_EQ(text::FindLastChar(kHyo, '\\', cp932), std::string::npos);
  EXPECT_EQ(text::FindLastChar("a\\" + kHyo, '\\', cp932), 1u);
  EXPECT_FALSE(text::EndsWithChar("D:\\out" + kSo, '\\', cp932));
  EXPECT_TRUE(text::EndsWithChar("D:\\out" + kSo + "\\", '\\', cp932));
  // A lead byte at the very end stands alone.
  EXPECT_EQ(text::FindLastChar("a.\x95", '.', cp932), 1u);
  // In UTF-8 every ASCII byte is a whole character.
  EXPECT_EQ(text::FindLastChar("日本.語", '.', PathRules::CodePage::Utf8), 6u);
}

TEST(SamePath, CaseFoldsOnlyWhereTheRulesSay) {
  EXPECT_TRUE(text::SamePath("C:\\A.OGG", "c:\\a.ogg", PathRules::Windows()));
  EXPECT_FALSE(text::SamePath("/a.OGG", "/a.ogg", PathRules::Posix()));
  // The second byte of a double-byte character is not folded: 0x83 0x41 vs 0x83 0x61 differ.
  EXPECT_FALSE(text::SamePath("\x83\x41", "\x83\x61", PathRules::Windows()));
}

TEST(ParseProfileInt, AcceptsDecimalAndHexPatterns) {
  struct Case {
    const char* in;
    std::optional<int32_t> out;
  };
  const Case cases[] = {
      {"0", 0},           {"12", 12},          {"-1", -1},          {"+7", 7},
      {"  5", 5},         {"0x3", 3},          {"0X1f", 31},        {"$10", 16},
      {"x10", 16},        {"X10", 16},         {"0xFFFFFFFF", -1},  {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},              {"2147483648", std::nullopt},
      {"0x100000000", std::nullopt},           {"", std::nullopt},  {"   ", std::nullopt},
      {"5 ", std::nullopt},                    {"1a", std::nullopt}, {"-", std::nullopt},
      {"0x", std::nullopt},                    {"abc", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(text::ParseProfileInt(c.in), c.out) << '"' << c.in << '"';
}

}  // namespace
