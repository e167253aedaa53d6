#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "platform/FileRegistry.h"
#include "registry_test_support.h"

namespace quelvar::platform::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kKey = "\\SOFTWARE\\QuelvarTorque\\Round ]trip[";

TEST(RegistryFileRoundTrip, EveryValueTypeComesBackFromTheFile) {
  TempDir dir;
  const std::string nul("a\0b", 3);
  const std::string strings[] = {
      "", "plain", "say \"hi\"", "C:\\data\\", "\\\"", "中文测试 Ω", "line1\nline2", "tab\there\r\n", nul, "\x7f",
  };
  const std::int32_t dwords[] = {0, 42, -1, std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max()};
  const double doubles[] = {3.141592653589793, -0.0, 1e308, std::numeric_limits<double>::denorm_min(),
                            -std::numeric_limits<double>::infinity()};
  RegistryBytes allBytes;
  for (int b = 0; b < 256; ++b) allBytes.push_back(static_cast<std::uint8_t>(b));
  const RegistryBytes binaries[] = {{}, {0}, allBytes};
  const std::string oddName = "name \"quoted\" \\ 中文 =x";

  {
    FileRegistry reg(dir.Path());
    for (std::size_t i = 0; i < std::size(strings); ++i) ASSERT_TRUE(reg.WriteString(kKey, "s" + std::to_string(i), strings[i]));
    for (std::size_t i = 0; i < std::size(dwords); ++i) ASSERT_TRUE(reg.WriteInt32(kKey, "d" + std::to_string(i), dwords[i]));
    for (std::size_t i = 0; i < std::size(doubles); ++i) ASSERT_TRUE(reg.WriteDouble(kKey, "f" + std::to_string(i), doubles[i]));
    for (std::size_t i = 0; i < std::size(binaries); ++i) ASSERT_TRUE(reg.WriteBinary(kKey, "b" + std::to_string(i), binaries[i]));
    ASSERT_TRUE(reg.WriteString(kKey, oddName, "odd"));
    ASSERT_TRUE(reg.WriteDouble(kKey, "nan", std::numeric_limits<double>::quiet_NaN()));
  }

  FileRegistry reg(dir.Path());
  for (std::size_t i = 0; i < std::size(strings); ++i) EXPECT_EQ(reg.ReadString(kKey, "s" + std::to_string(i)), strings[i]) << i;
  for (std::size_t i = 0; i < std::size(dwords); ++i) EXPECT_EQ(reg.ReadInt32(kKey, "d" + std::to_string(i)), dwords[i]) << i;
  for (std::size_t i = 0; i < std::size(doubles); ++i) {
    const auto read = reg.ReadDouble(kKey, "f" + std::to_string(i));
    ASSERT_TRUE(read) << i;
    EXPECT_EQ(std::bit_cast<std::uint64_t>(*read), std::bit_cast<std::uint64_t>(doubles[i])) << i;
  }
  for (std::size_t i = 0; i < std::size(binaries); ++i) EXPECT_EQ(reg.ReadBinary(kKey, "b" + std::to_string(i)), binaries[i]) << i;
  EXPECT_EQ(reg.ReadString(kKey, oddName), "odd");
  EXPECT_TRUE(std::isnan(reg.ReadDouble(kKey, "nan").value_or(0)));
  EXPECT_THAT(reg.TakeProblems(), IsEmpty());
}

TEST(RegistryFileRoundTrip, WritesTheTreeAsRegedit4Text) {
  TempDir dir;
  {
    FileRegistry reg(dir.Path());
    ASSERT_TRUE(reg.WriteInt32("\\SOFTWARE\\QuelvarTorque", "Count", 42));
    ASSERT_TRUE(reg.CreateKey("\\SOFTWARE\\QuelvarTorque\\Color\\Empty"));
    ASSERT_TRUE(reg.WriteString("\\SOFTWARE\\QuelvarTorque\\Color", "Name", "say \"hi\" C:\\dir"));
    ASSERT_TRUE(reg.WriteInt32("\\SOFTWARE\\QuelvarTorque\\Color", "Neg", -1));
    ASSERT_TRUE(reg.WriteBinary("\\SOFTWARE\\QuelvarTorque\\Color", "Bytes", RegistryBytes{0x0a, 0xff, 0x00}));
    ASSERT_TRUE(reg.WriteBinary("\\SOFTWARE\\QuelvarTorque\\Color", "None", RegistryBytes{}));
    ASSERT_TRUE(reg.WriteString("\\SOFTWARE\\QuelvarTorque\\Color", "Lines", "a\nb"));
    ASSERT_TRUE(reg.CreateKey("\\SOFTWARE\\QuelvarTorque\\Axis"));
  }
  EXPECT_EQ(ReadText(dir.TreeFile("QuelvarTorque")),
            "REGEDIT4\n"
            "\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\QuelvarTorque]\n"
            "\"Count\"=dword:0000002a\n"
            "\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\QuelvarTorque\\Axis]\n"
            "\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\QuelvarTorque\\Color]\n"
            "\"Name\"=\"say \\\"hi\\\" C:\\\\dir\"\n"
            "\"Neg\"=dword:ffffffff\n"
            "\"Bytes\"=hex:0a,ff,00\n"
            "\"None\"=hex:\n"
            "\"Lines\"=hex(1):61,0a,62,00\n"
            "\n"
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\QuelvarTorque\\Color\\Empty]\n"
            "\n");
}

TEST(RegistryFileRoundTrip, FileAndNamesKeepTheCaseOfTheFirstWrite) {
  TempDir dir;
  {
    FileRegistry reg(dir.Path());
    ASSERT_TRUE(reg.WriteInt32("\\SOFTWARE\\QuelvarTorque\\Color", "ColorNum", 16));
    ASSERT_TRUE(reg.WriteInt32("\\SOFTWARE\\QUELVARTORQUE\\COLOR", "COLORNUM", 24));
  }
  const std::string text = ReadText(dir.TreeFile("QuelvarTorque"));
  EXPECT_THAT(text, ::testing::HasSubstr("[HKEY_LOCAL_MACHINE\\SOFTWARE\\QuelvarTorque\\Color]\n\"ColorNum\"=dword:00000018\n"));
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Software())) files.push_back(entry.path().filename());
  EXPECT_THAT(files, ::testing::UnorderedElementsAre("QuelvarTorque.reg", "QuelvarTorque.reg.lock"));

  FileRegistry reg(dir.Path());
  EXPECT_EQ(reg.ReadInt32("\\software\\quelvartorque\\color", "colornum"), 24);
  EXPECT_THAT(reg.SubkeyNames("\\SOFTWARE"), ElementsAre("QuelvarTorque"));
}

TEST(RegistryFileRoundTrip, FindsAnExistingFileWhateverItsCase) {
  TempDir dir;
  WriteText(dir.TreeFile("quelvartorque1"),
            "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\QUELVARTORQUE1\\Color]\n\"ColorNum\"=dword:00000008\n\n");
  {
    FileRegistry reg(dir.Path());
    EXPECT_EQ(reg.ReadInt32("\\SOFTWARE\\QuelvarTorque1\\Color", "ColorNum"), 8);
    // A tree whose name only starts like it is another tree.
    EXPECT_FALSE(reg.KeyExists("\\SOFTWARE\\QuelvarTorque"));
    ASSERT_TRUE(reg.WriteInt32("\\SOFTWARE\\QuelvarTorque1\\Color", "ColorNum", 9));
  }
  EXPECT_TRUE(std::filesystem::exists(dir.TreeFile("quelvartorque1")));
  EXPECT_FALSE(std::filesystem::exists(dir.TreeFile("QuelvarTorque1")));
  EXPECT_THAT(ReadText(dir.TreeFile("quelvartorque1")), ::testing::HasSubstr("\\SOFTWARE\\quelvartorque1\\Color]"));
  EXPECT_EQ(FileRegistry(dir.Path()).ReadInt32("\\SOFTWARE\\QuelvarTorque1\\Color", "ColorNum"), 9);
}

TEST(RegistryFileRoundTrip, DeletingTheTreeRemovesItsFile) {
  TempDir dir;
  FileRegistry reg(dir.Path());
  ASSERT_TRUE(reg.WriteInt32("\\SOFTWARE\\QuelvarTorque\\Color", "ColorNum", 16));
  ASSERT_TRUE(reg.WriteInt32("\\SOFTWARE\\QuelvarTorque2", "Instance", 2));
  ASSERT_TRUE(std::filesystem::exists(dir.TreeFile("QuelvarTorque")));

  ASSERT_TRUE(reg.DeleteKey("\\SOFTWARE\\QuelvarTorque"));
  EXPECT_FALSE(std::filesystem::exists(dir.TreeFile("QuelvarTorque")));
  EXPECT_TRUE(std::filesystem::exists(dir.TreeFile("QuelvarTorque2")));
  EXPECT_THAT(FileRegistry(dir.Path()).SubkeyNames("\\SOFTWARE"), ElementsAre("QuelvarTorque2"));

  // Created again in other case: one file, in the new case.
  ASSERT_TRUE(reg.WriteInt32("\\SOFTWARE\\QUELVARTORQUE", "Back", 1));
  EXPECT_TRUE(std::filesystem::exists(dir.TreeFile("QUELVARTORQUE")));
}

TEST(RegistryFileRoundTrip, TreeDeletedAndCreatedInOtherCaseInOneBatchLeavesOneFile) {
  TempDir dir;
  FileRegistry reg(dir.Path());
  ASSERT_TRUE(reg.WriteInt32("\\SOFTWARE\\QuelvarTorque", "Old", 1));
  reg.BeginUpdate();
  ASSERT_TRUE(reg.DeleteKey("\\SOFTWARE\\QuelvarTorque"));
  ASSERT_TRUE(reg.WriteInt32("\\SOFTWARE\\QUELVARTORQUE", "New", 2));
  ASSERT_TRUE(reg.EndUpdate());

  EXPECT_FALSE(std::filesystem::exists(dir.TreeFile("QuelvarTorque")));
  FileRegistry again(dir.Path());
  EXPECT_THAT(again.SubkeyNames("\\SOFTWARE"), ElementsAre("QUELVARTORQUE"));
  EXPECT_EQ(again.ReadInt32("\\SOFTWARE\\QuelvarTorque", "Old"), std::nullopt);
  EXPECT_EQ(again.ReadInt32("\\SOFTWARE\\QuelvarTorque", "New"), 2);
}

}  // namespace
}  // namespace quelvar::platform::test
