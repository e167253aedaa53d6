#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

#include "platform/FileRegistry.h"
#include "platform/RegFileFormat.h"
#include "registry_test_support.h"

namespace quelvar::platform::test {
namespace {

using ::testing::IsEmpty;
using namespace std::string_literals;

const RegistryNode* Key(const RegistryNode& root, std::string_view name) { return root.Child(name); }

TEST(RegistryFileFormat, AcceptsRegeditStyleVariants) {
  struct Case {
    const char* what;
    std::string text;
  };
  const Case cases[] = {
      {"plain",
       "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\App\\K]\n\"Bin\"=hex:01,02,03,04\n\"N\"=dword:0000002A\n"
       "\"S\"=\"x\"\n"},
      {"hex continued over lines",
       "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\App\\K]\n\"Bin\"=hex:01,02,\\\n  03,\\\n\t04\n"
       "\"N\"=dword:0000002a\n\"S\"=\"x\"\n"},
      {"CRLF line ends",
       "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\App\\K]\r\n\"Bin\"=hex:01,02,\\\r\n  03,04\r\n"
       "\"N\"=dword:0000002a\r\n\"S\"=\"x\"\r\n\r\n"},
      {"UTF-8 BOM, no final line end",
       "\xEF\xBB\xBFREGEDIT4\n\n[hkey_local_machine\\software\\APP\\K]\n\"Bin\"=hex:01,02,03,04\n"
       "\"N\"=dword:0000002a\n\"S\"=\"x\""},
      {"string as hex(1) without its NUL, sections repeated",
       "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\App\\K]\n\"Bin\"=hex:01,02,03,04\n"
       "[HKEY_LOCAL_MACHINE\\SOFTWARE\\App\\K]\n\"N\"=dword:0000002a\n\"S\"=hex(1):78\n"},
  };
  for (const auto& c : cases) {
    RegistryNode root;
    std::string error;
    ASSERT_TRUE(ParseRegFile(c.text, "App", root, error)) << c.what << ": " << error;
    const RegistryNode* key = Key(root, "K");
    ASSERT_NE(key, nullptr) << c.what;
    EXPECT_EQ(*key->Value("Bin"), RegistryValue(RegistryBytes{1, 2, 3, 4})) << c.what;
    EXPECT_EQ(*key->Value("N"), RegistryValue(std::in_place_index<0>, 42u)) << c.what;
    EXPECT_EQ(*key->Value("S"), RegistryValue(std::string("x"))) << c.what;
  }
}

TEST(RegistryFileFormat, FileWithBomAndCrlfLoadsAndIsRewrittenPlain) {
  TempDir dir;
  WriteText(dir.TreeFile("QuelvarTorque"),
            "\xEF\xBB\xBFREGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\QuelvarTorque]\r\n\"A\"=dword:00000001\r\n");
  FileRegistry reg(dir.Path());
  EXPECT_EQ(reg.ReadInt32("\\SOFTWARE\\QuelvarTorque", "A"), 1);
  EXPECT_THAT(reg.TakeProblems(), IsEmpty());
  ASSERT_TRUE(reg.WriteInt32("\\SOFTWARE\\QuelvarTorque", "B", 2));
  EXPECT_EQ(ReadText(dir.TreeFile("QuelvarTorque")),
            "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\QuelvarTorque]\n\"A\"=dword:00000001\n\"B\"=dword:00000002\n\n");
}

// Whatever a damaged file holds, parsing either succeeds or names the line; the sanitizer
// build turns any out-of-bounds access on the way into a failure.
TEST(RegistryFileFormat, MangledFilesNeverCrashTheParser) {
  RegistryNode sample;
  bool created = false;
  RegistryNode& color = sample.CreateChild("Color", created);
  color.SetValue("N", RegistryValue(std::in_place_index<0>, 7u));
  color.SetValue("S", RegistryValue(std::string("a \"b\" \\ c\nd")));
  color.SetValue("B", RegistryValue(RegistryBytes{1, 2, 3, 0xff}));
  color.CreateChild("Sub", created).SetValue("E", RegistryValue(RegistryBytes{}));
  const std::string good = FormatRegFile("App", sample);
  const std::string alphabet = "\\\"[]=:,\r\n\0\xff" "0aXhexdword"s;

  std::mt19937 random(12345);  // fixed: the same inputs every run
  for (int round = 0; round < 3000; ++round) {
    std::string text = good;
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits && !text.empty(); ++e) {
      const std::size_t at = random() % text.size();
      switch (random() % 3) {
        case 0: text[at] = alphabet[random() % alphabet.size()]; break;
        case 1: text.erase(at, 1 + random() % 8); break;
        default: text.resize(at); break;
      }
    }
    RegistryNode root;
    std::string error;
    if (!ParseRegFile(text, "App", root, error)) {
      EXPECT_THAT(error, ::testing::StartsWith("line ")) << round;
    }
  }
}

}  // namespace
}  // namespace quelvar::platform::test
