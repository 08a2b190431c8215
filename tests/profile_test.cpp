#include <gtest/gtest.h>

#include "settings/profile.h"

namespace {

using settings::Profile;

TEST(Profile, ReadsValuesAsTheProfileFunctionsDo) {
  struct Case {
    std::string file;
    std::string section, key;
    std::string expected;
  };
  const std::string longValue(1500, 'v');
  const Case cases[] = {
      {"[Setting]\nOggPath=oggenc.exe\n", "Setting", "OggPath", "oggenc.exe"},
      {"[setting]\r\noggpath=x\r\n", "SETTING", "OGGPATH", "x"},
      {"[Setting]\nOggPath =  spaced value \t\n", "Setting", "OggPath", "spaced value"},
      {"[Setting]\nOggPath=\"quoted \"\n", "Setting", "OggPath", "quoted "},
      {"[Setting]\nOggPath='single'\n", "Setting", "OggPath", "single"},
      {"[Setting]\nOggPath=\"mixed'\n", "Setting", "OggPath", "\"mixed'"},
      {"[Setting]\nOggPath=\"\n", "Setting", "OggPath", "\""},
      {"[Setting]\nOggPath=" + longValue + "\n", "Setting", "OggPath", longValue.substr(0, 1023)},
      {"[Setting]\nOggPath=a=b\n", "Setting", "OggPath", "a=b"},
      {"[Setting]\nOggPath=first\nOggPath=second\n", "Setting", "OggPath", "first"},
      {"[Other]\nOggPath=x\n", "Setting", "OggPath", "default"},
      {"OggPath=outside\n[Setting]\n", "Setting", "OggPath", "default"},
      {"", "Setting", "OggPath", "default"},
      {"[ Setting ]\nOggPath=x", "Setting", "OggPath", "x"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Profile(c.file).ReadString(c.section, c.key, "default"), c.expected) << c.file.substr(0, 60);
}

TEST(Profile, IntegersFallBackToTheDefault) {
  const Profile p("[Option]\nA=0x3\nB=  -1 \nC=abc\nD=\nE=$FFFFFFFF\nF=\"7\"\n");
  EXPECT_EQ(p.ReadInteger("Option", "A", 9), 3);
  EXPECT_EQ(p.ReadInteger("Option", "B", 9), -1);
  EXPECT_EQ(p.ReadInteger("Option", "C", 9), 9);
  EXPECT_EQ(p.ReadInteger("Option", "D", 9), 9);
  EXPECT_EQ(p.ReadInteger("Option", "E", 9), -1);
  EXPECT_EQ(p.ReadInteger("Option", "F", 9), 7);
  EXPECT_EQ(p.ReadInteger("Option", "Missing", 9), 9);
}

TEST(Profile, WritesKeepPlacesAndForeignContent) {
  Profile p("; note\n[List]\nCount=5\n0=a\n\n[Mine]\nx=1\n");
  p.WriteString("Setting", "OggPath", "oggenc");
  p.WriteInteger("List", "Count", 2);
  p.WriteString("list", "5", "new");
  p.WriteString("Mine", "y", "2");
  EXPECT_EQ(p.Serialize("\n"),
            "; note\n[List]\nCount=2\n0=a\n5=new\n\n[Mine]\nx=1\ny=2\n[Setting]\nOggPath=oggenc\n");
}

TEST(Profile, NewFileGetsSectionsInWriteOrder) {
  Profile p;
  p.WriteString("Setting", "OggPath", "oggenc.exe");
  p.WriteInteger("Option", "BitRate", 1);
  p.WriteInteger("List", "Count", 0);
  EXPECT_EQ(p.Serialize("\r\n"), "[Setting]\r\nOggPath=oggenc.exe\r\n[Option]\r\nBitRate=1\r\n[List]\r\nCount=0\r\n");
  // What was written reads back.
  const Profile q(p.Serialize("\r\n"));
  EXPECT_EQ(q.ReadString("Setting", "OggPath", ""), "oggenc.exe");
  EXPECT_EQ(q.ReadInteger("Option", "BitRate", 9), 1);
}

}  // namespace
