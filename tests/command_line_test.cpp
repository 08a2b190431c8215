#include <gtest/gtest.h>

#include "encode/command_line.h"

namespace {

using encode::Traits;

const std::string kHyo = "\x95\x5C";  // CP932 character whose second byte is a backslash

TEST(OptionText, BitRatesAndRawMode) {
  struct Case {
    int index;
    bool raw;
    const char* text;
  };
  const Case cases[] = {
      {-1, false, ""},        {0, false, ""},          {1, false, "-b 128 "}, {2, false, "-b 160 "},
      {3, false, "-b 192 "}, {4, false, "-b 256 "},   {5, false, "-b 350 "}, {5, true, "-b 350 -r "},
      {0, true, "-r "},       {6, false, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(encode::BuildOptionText(c.index, c.raw), c.text) << c.index;
}

TEST(OutputPath, WindowsForms) {
  const Traits w = Traits::Windows();
  struct Case {
    std::string folderText;  // the Output folder as typed; empty for none
    std::string source;
    std::string output;
  };
  const Case cases[] = {
      {"", "C:\\music\\a.wav", "C:\\music\\a.ogg"},
      {"D:\\out", "C:\\music\\a.wav", "D:\\out\\a.ogg"},
      {"D:\\out\\", "C:\\music\\a.wav", "D:\\out\\a.ogg"},
      {"D:\\out\\\\", "C:\\music\\a.wav", "D:\\out\\\\a.ogg"},
      {"C:\\", "C:\\music\\a.wav", "C:\\a.ogg"},
      {"", "C:\\music\\a.b.mp3", "C:\\music\\a.b.ogg"},
      {"", "C:\\music\\track", "C:\\music\\track.ogg"},
      // The dot of a folder name does not start an extension.
      {"", "C:\\my.music\\track", "C:\\my.music\\track.ogg"},
      {"", "C:a.wav", "C:a.ogg"},
      {"", "a", "a.ogg"},
      // A folder whose last character has 0x5C as its second byte is left whole.
      {"D:\\" + kHyo, "C:\\a.wav", "D:\\" + kHyo + "\\a.ogg"},
      {"", "C:\\" + kHyo + "\\x.wav", "C:\\" + kHyo + "\\x.ogg"},
  };
  for (const Case& c : cases) {
    const std::string folder = encode::PrepareOutputFolder(c.folderText, w);
    EXPECT_EQ(encode::BuildOutputPath(c.source, c.folderText.empty() ? nullptr : &folder, w), c.output)
        << c.source << " / " << c.folderText;
  }
}

TEST(OutputPath, PosixForms) {
  const Traits p = Traits::Posix();
  struct Case {
    std::string folderText, source, output;
  };
  const Case cases[] = {
      {"", "/music/a.wav", "/music/a.ogg"},
      {"/out/", "/music/a.wav", "/out/a.ogg"},
      {"/", "/music/a.wav", "/a.ogg"},
      {"", "/my.music/track", "/my.music/track.ogg"},
      {"", "/music/.hidden", "/music/.ogg"},
      {"", "/music/C:\\x.wav", "/music/C:\\x.ogg"},
      {"", "/音楽/曲.mp3", "/音楽/曲.ogg"},
  };
  for (const Case& c : cases) {
    const std::string folder = encode::PrepareOutputFolder(c.folderText, p);
    EXPECT_EQ(encode::BuildOutputPath(c.source, c.folderText.empty() ? nullptr : &folder, p), c.output)
        << c.source;
  }
}

TEST(CommandLine, WindowsTextRoundTripsThroughTheSplitter) {
  struct Case {
    std::string encoder, options, source, output, line;
  };
  const Case cases[] = {
      {"oggenc.exe", "-b 128 ", "C:\\music\\a.wav", "C:\\music\\a.ogg",
       "\"oggenc.exe\" -b 128  \"C:\\music\\a.wav\" --output=\"C:\\music\\a.ogg\""},
      {"C:\\tools\\oggenc.exe", "-b 192 -r ", "C:\\my music\\a.wav", "D:\\out\\a.ogg",
       "\"C:\\tools\\oggenc.exe\" -b 192 -r  \"C:\\my music\\a.wav\" --output=\"D:\\out\\a.ogg\""},
      {"oggenc.exe", "", "-x.wav", "-x.ogg", "\"oggenc.exe\"  \"-x.wav\" --output=\"-x.ogg\""},
  };
  for (const Case& c : cases) {
    const std::string line = encode::BuildCommandLine(c.encoder, c.options, c.source, c.output);
    EXPECT_EQ(line, c.line);
    std::vector<std::string> expected{c.encoder};
    const auto argv = encode::BuildArgv(c.encoder, c.options, c.source, c.output);
    // The encoder reads the same arguments that the argv form passes (but for the "./" guard).
    const auto split = encode::SplitArguments(line);
    ASSERT_EQ(split.size(), argv.size()) << line;
    for (size_t i = 0; i + 2 < split.size(); ++i) EXPECT_EQ(split[i], argv[i]);
    EXPECT_EQ(split.back(), "--output=" + c.output);
    EXPECT_EQ(split[split.size() - 2], c.source);
  }
}

TEST(CommandLine, ArgvKeepsEveryNameWholeAndGuardsALeadingDash) {
  const std::vector<std::string> names = {"a b.wav", "it's \"q\".wav", "$(rm -rf x).wav", "`x`.wav",
                                          "new\nline.wav", "\xff\xfe.wav", "日本語 ファイル.wav"};
  for (const std::string& n : names) {
    const auto argv = encode::BuildArgv("oggenc", "-b 128 ", "/m/" + n, "/o/" + n + ".ogg");
    ASSERT_EQ(argv.size(), 5u);
    EXPECT_EQ(argv[0], "oggenc");
    EXPECT_EQ(argv[1], "-b");
    EXPECT_EQ(argv[2], "128");
    EXPECT_EQ(argv[3], "/m/" + n);
    EXPECT_EQ(argv[4], "--output=/o/" + n + ".ogg");
  }
  const auto dash = encode::BuildArgv("oggenc", "", "-rf.wav", "-rf.ogg");
  ASSERT_EQ(dash.size(), 3u);
  EXPECT_EQ(dash[1], "./-rf.wav");
  EXPECT_EQ(dash[2], "--output=-rf.ogg");
}

TEST(CheckEntry, RefusesWhatWouldBreakOrOverwrite) {
  const Traits w = Traits::Windows();
  const Traits p = Traits::Posix();
  auto check = [](const std::string& enc, const std::string& src, const std::string& out, const Traits& t) {
    return encode::CheckEntry(enc, src, out, encode::BuildCommand(enc, "-b 128 ", src, out), t);
  };
  using R = encode::Refusal;
  EXPECT_EQ(check("oggenc.exe", "C:\\a.wav", "C:\\a.ogg", w), R::None);
  EXPECT_EQ(check("oggenc.exe", "C:\\A.OGG", "C:\\A.ogg", w), R::SourceIsOutput);
  EXPECT_EQ(check("oggenc", "/m/A.OGG", "/m/A.ogg", p), R::None);
  EXPECT_EQ(check("oggenc", "/m/a.ogg", "/m/a.ogg", p), R::SourceIsOutput);
  EXPECT_EQ(check("oggenc.exe", "C:\\a\"b.wav", "C:\\a\"b.ogg", w), R::QuoteInPath);
  EXPECT_EQ(check("ogg\"enc.exe", "C:\\a.wav", "C:\\a.ogg", w), R::QuoteInPath);
  EXPECT_EQ(check("oggenc", "/m/a\"b.wav", "/m/a\"b.ogg", p), R::None);
  // 32,767 characters with the terminating zero is the most CreateProcess takes.
  const size_t fixed = encode::BuildCommandLine("e", "-b 128 ", "", "").size();
  const std::string src(16000, 's');
  const std::string fits(32766 - fixed - src.size(), 'o');
  EXPECT_EQ(check("e", src, fits, w), R::None);
  EXPECT_EQ(check("e", src, fits + "o", w), R::CommandTooLong);
  EXPECT_EQ(check("e", src, fits + "o", p), R::None);
}

TEST(OldEncoder, MatchesTheFileNamePartExactly) {
  const Traits w = Traits::Windows();
  const Traits p = Traits::Posix();
  struct Case {
    const char* path;
    bool windows, posix;
  };
  const Case cases[] = {
      {"C:\\tools\\ogglame.exe", true, false}, {"ogglame.exe", true, true},
      {"C:\\tools\\OGGLAME.EXE", false, false}, {"C:\\tools\\ogglame", false, false},
      {"ogglame.exe ", false, false},          {"/usr/bin/ogglame", false, true},
      {"/opt/ogglame.exe", false, true},       {"oggenc.exe", false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(encode::IsOldEncoder(c.path, w), c.windows) << c.path;
    EXPECT_EQ(encode::IsOldEncoder(c.path, p), c.posix) << c.path;
  }
}

TEST(SplitArguments, BlanksSeparateQuotesGroup) {
  using V = std::vector<std::string>;
  EXPECT_EQ(encode::SplitArguments(""), V{});
  EXPECT_EQ(encode::SplitArguments("  a   b "), (V{"a", "b"}));
  EXPECT_EQ(encode::SplitArguments("\"C:\\my music\\a.wav\" b"), (V{"C:\\my music\\a.wav", "b"}));
  EXPECT_EQ(encode::SplitArguments("a\"b c\"d"), (V{"ab cd"}));
  EXPECT_EQ(encode::SplitArguments("\"\""), (V{""}));
  EXPECT_EQ(encode::SplitArguments("a\tb"), (V{"a", "b"}));
  EXPECT_EQ(encode::SplitArguments("\"unterminated x"), (V{"unterminated x"}));
}

}  // namespace
