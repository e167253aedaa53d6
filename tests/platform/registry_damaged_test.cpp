#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/FileRegistry.h"
#include "registry_test_support.h"

namespace quelvar::platform::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using namespace std::string_literals;

constexpr const char* kTree = "QuelvarTorque";
constexpr const char* kKey = "\\SOFTWARE\\QuelvarTorque\\Color";
const std::string kGood = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\QuelvarTorque\\Color]\n\"Keep\"=dword:00000001\n";

// After a damaged file: the tree is empty, the file is kept aside, the problem is
// reported once, and the next save writes a good file.
void ExpectRecovered(const TempDir& dir, FileRegistry& reg, const std::string& original,
                     const std::string& detail) {
  EXPECT_EQ(reg.ReadInt32(kKey, "Keep"), std::nullopt);
  EXPECT_FALSE(reg.KeyExists("\\SOFTWARE\\QuelvarTorque"));
  const auto bad = dir.Software() / "QuelvarTorque.reg.bad";
  EXPECT_FALSE(std::filesystem::exists(dir.TreeFile(kTree)));
  EXPECT_EQ(ReadText(bad), original);
  const auto problems = reg.TakeProblems();
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_THAT(problems[0], HasSubstr(dir.TreeFile(kTree).string()));
  EXPECT_THAT(problems[0], HasSubstr(detail));
  EXPECT_THAT(problems[0], HasSubstr("kept as " + bad.string()));

  ASSERT_TRUE(reg.WriteInt32(kKey, "Fresh", 2));
  FileRegistry again(dir.Path());
  EXPECT_EQ(again.ReadInt32(kKey, "Fresh"), 2);
  // Nothing parsed before the damage comes back with the next save.
  EXPECT_THAT(again.ValueNames(kKey), ElementsAre("Fresh"));
  EXPECT_THAT(again.TakeProblems(), IsEmpty());
  EXPECT_EQ(ReadText(bad), original);
}

TEST(RegistryDamagedFile, StartsEmptyAndKeepsTheFileAside) {
  struct Case {
    const char* what;
    std::string text;
    std::string detail;
  };
  std::string tooDeep = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\QuelvarTorque";
  for (int i = 0; i < 100000; ++i) tooDeep += "\\k";
  const Case cases[] = {
      {"garbage", "this is not a registry file\n", "line 1"},
      {"empty file", "", "line 1"},
      {"missing header", kGood.substr(10), "line 1"},
      {"truncated hex", kGood + "\"Bin\"=hex:0a,f", "line 5: bad hex byte"},
      {"hex continued past the end", kGood + "\"Bin\"=hex:0a,\\\n", "line 5"},
      {"bad dword", kGood + "\"N\"=dword:1234567\n", "line 5: bad dword"},
      {"non-hex dword", kGood + "\"N\"=dword:0000000g\n", "line 5: bad dword"},
      {"bad escape", kGood + "\"S\"=\"C:\\dir\"\n", "line 5: bad escape"},
      {"section of another tree", kGood + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\QuelvarTorque1]\n", "line 5: section outside"},
      {"section above the tree", kGood + "[HKEY_LOCAL_MACHINE\\SOFTWARE]\n", "line 5: section outside"},
      {"section nested too deep", kGood + tooDeep + "]\n", "line 5: bad key name"},
      {"value type we do not store", kGood + "\"E\"=hex(2):41,00\n", "line 5: unknown value type"},
      {"value before any section", "REGEDIT4\n\"N\"=dword:00000001\n", "line 2"},
      {"binary junk bytes", kGood + "\x01\x00\xff\xfe\x80junk"s, "line 5"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    WriteText(dir.TreeFile(kTree), c.text);
    FileRegistry reg(dir.Path());
    ExpectRecovered(dir, reg, c.text, c.detail);
  }
}

TEST(RegistryDamagedFile, FileThatCannotBeReadIsTreatedAlike) {
  if (RunningAsRoot()) GTEST_SKIP() << "root reads a chmod 000 file anyway";
  TempDir dir;
  WriteText(dir.TreeFile(kTree), kGood);
  std::filesystem::permissions(dir.TreeFile(kTree), std::filesystem::perms::none);
  FileRegistry reg(dir.Path());
  EXPECT_EQ(reg.ReadInt32(kKey, "Keep"), std::nullopt);
  std::filesystem::permissions(dir.Software() / "QuelvarTorque.reg.bad", std::filesystem::perms::owner_read);
  ExpectRecovered(dir, reg, kGood, "cannot be read");
}

// Unreadable even for root: a directory where the file should be.
TEST(RegistryDamagedFile, DirectoryInPlaceOfTheFileIsSetAside) {
  TempDir dir;
  std::filesystem::create_directories(dir.TreeFile(kTree));
  FileRegistry reg(dir.Path());
  EXPECT_FALSE(reg.KeyExists("\\SOFTWARE\\QuelvarTorque"));
  EXPECT_THAT(reg.TakeProblems(), ElementsAre(HasSubstr("cannot be read (not a regular file)")));
  EXPECT_TRUE(std::filesystem::is_directory(dir.Software() / "QuelvarTorque.reg.bad"));
  ASSERT_TRUE(reg.WriteInt32(kKey, "Fresh", 2));
  EXPECT_EQ(FileRegistry(dir.Path()).ReadInt32(kKey, "Fresh"), 2);
}

TEST(RegistryDamagedFile, OversizedFileIsDamagedWithoutBeingRead) {
  TempDir dir;
  WriteText(dir.TreeFile(kTree), kGood);
  std::filesystem::resize_file(dir.TreeFile(kTree), kMaxRegistryFileSize + 1);  // sparse
  FileRegistry reg(dir.Path());
  EXPECT_EQ(reg.ReadInt32(kKey, "Keep"), std::nullopt);
  EXPECT_THAT(reg.TakeProblems(), ElementsAre(HasSubstr("larger than 64 MiB")));
  EXPECT_EQ(std::filesystem::file_size(dir.Software() / "QuelvarTorque.reg.bad"), kMaxRegistryFileSize + 1);
}

TEST(RegistryDamagedFile, EarlierDamagedFilesAreNotOverwritten) {
  TempDir dir;
  WriteText(dir.Software() / "QuelvarTorque.reg.bad", "first");
  WriteText(dir.Software() / "QuelvarTorque.reg.bad1", "second");
  WriteText(dir.TreeFile(kTree), "third");
  FileRegistry reg(dir.Path());
  EXPECT_FALSE(reg.KeyExists("\\SOFTWARE\\QuelvarTorque"));
  EXPECT_THAT(reg.TakeProblems(), ElementsAre(HasSubstr("kept as " + (dir.Software() / "QuelvarTorque.reg.bad2").string())));
  EXPECT_EQ(ReadText(dir.Software() / "QuelvarTorque.reg.bad"), "first");
  EXPECT_EQ(ReadText(dir.Software() / "QuelvarTorque.reg.bad1"), "second");
  EXPECT_EQ(ReadText(dir.Software() / "QuelvarTorque.reg.bad2"), "third");
}

TEST(RegistryDamagedFile, FileThatCannotBeSetAsideIsNeverOverwritten) {
  TempDir dir;
  WriteText(dir.Software() / "QuelvarTorque.reg.bad", "old");
  for (int i = 1; i <= 99; ++i) WriteText(dir.Software() / ("QuelvarTorque.reg.bad" + std::to_string(i)), "old");
  const std::string damaged = kGood + "\"N\"=dword:xyz\n";
  WriteText(dir.TreeFile(kTree), damaged);

  FileRegistry reg(dir.Path());
  EXPECT_EQ(reg.ReadInt32(kKey, "Keep"), std::nullopt);
  EXPECT_THAT(reg.TakeProblems(), ElementsAre(HasSubstr("could not be kept aside")));

  EXPECT_FALSE(reg.WriteInt32(kKey, "Fresh", 2));
  EXPECT_EQ(reg.ReadInt32(kKey, "Fresh"), 2);  // the run goes on with it in memory
  EXPECT_FALSE(reg.Flush());
  EXPECT_THAT(reg.TakeProblems(), ElementsAre(HasSubstr("registry tree QuelvarTorque is not saved")));
  EXPECT_EQ(ReadText(dir.TreeFile(kTree)), damaged);

  // Other trees are saved as usual.
  EXPECT_TRUE(reg.WriteInt32("\\SOFTWARE\\QuelvarTorque1", "Instance", 1));
}

}  // namespace
}  // namespace quelvar::platform::test
