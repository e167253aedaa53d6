// Universal page files: their exact bytes, and every check a file from disk
// passes before any of its numbers is used.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "auxwin/PageFile.h"

namespace {

using namespace quelvar;

class PageFileTest : public ::testing::Test {
 protected:
  std::filesystem::path dir;
  void SetUp() override {
    dir = std::filesystem::path(testing::TempDir()) /
          ("quelvar-page-" + std::to_string(getpid()) + "-" +
           testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string Put(const std::string& bytes) {
    const std::string path = (dir / "page.vpc").string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  static std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
};

TEST_F(PageFileTest, APageIsWrittenAsItsLinesAndReadBackTheSame) {
  struct Case {
    PageFileContents page;
    std::string bytes;
  } cases[] = {
      {{{0, 4, 2}, {7}}, "VPC\r\n3 1\r\n0\r\n4\r\n2\r\n7\r\n"},
      {{{5, 6}, {}}, "VPC\r\n2 0\r\n5\r\n6\r\n"},  // 16 bytes
      {{{}, {3, 3}}, "VPC\r\n0 2\r\n3\r\n3\r\n"},
      {{{}, {}}, "VPC\r\n0 0\r\n"},
  };
  for (const Case& c : cases) {
    const std::string path = (dir / "out.vpc").string();
    std::string error;
    ASSERT_TRUE(WritePageFile(path, c.page, error)) << error;
    EXPECT_EQ(Bytes(path), c.bytes);
    EXPECT_EQ(std::filesystem::file_size(path), c.bytes.size());
    const PageFileResult back = ReadPageFile(path);
    ASSERT_EQ(back.Status, PageFileStatus::Ok) << c.bytes;
    EXPECT_EQ(back.Page.Analog, c.page.Analog) << c.bytes;
    EXPECT_EQ(back.Page.Switches, c.page.Switches) << c.bytes;
  }
}

TEST_F(PageFileTest, LineEndsOfEitherKindAndBlanksAroundNumbersAreRead) {
  const PageFileResult lf = ReadPageFile(Put("VPC\n2 1\n 3 \n-1\n9"));  // no end on the last line
  ASSERT_EQ(lf.Status, PageFileStatus::Ok);
  EXPECT_EQ(lf.Page.Analog, (std::vector<int32_t>{3, -1}));
  EXPECT_EQ(lf.Page.Switches, (std::vector<int32_t>{9}));
  // Lines after the announced numbers are not looked at.
  EXPECT_EQ(ReadPageFile(Put("VPC\r\n1 0\r\n4\r\nanything\r\n")).Status, PageFileStatus::Ok);
}

TEST_F(PageFileTest, AFileThatIsNoWholePageIsRefusedBeforeAnyNumberIsUsed) {
  struct Case {
    const char* what;
    std::string bytes;
    PageFileStatus status;
  } cases[] = {
      {"empty file", "", PageFileStatus::BadTag},
      {"longer tag", "VPC2\r\n1 0\r\n0\r\n", PageFileStatus::BadTag},
      {"lower-case tag", "vpc\r\n1 0\r\n0\r\n", PageFileStatus::BadTag},
      {"tag with a blank", "VPC \r\n1 0\r\n0\r\n", PageFileStatus::BadTag},
      {"an algorithm file", std::string("ALGO\0\0\0\0", 8), PageFileStatus::BadTag},
      {"no counts", "VPC\r\n", PageFileStatus::BadCounts},
      {"one count", "VPC\r\n1\r\n0\r\n", PageFileStatus::BadCounts},
      {"three counts", "VPC\r\n1 0 2\r\n0\r\n", PageFileStatus::BadCounts},
      {"negative count", "VPC\r\n-1 1\r\n0\r\n", PageFileStatus::BadCounts},
      {"more analog entries than any card", "VPC\r\n101 0\r\n", PageFileStatus::BadCounts},
      {"more switch entries than any card", "VPC\r\n0 193\r\n", PageFileStatus::BadCounts},
      {"count beyond 32 bits", "VPC\r\n4294967297 0\r\n0\r\n", PageFileStatus::BadCounts},
      {"cut short", "VPC\r\n3 1\r\n0\r\n4\r\n2\r\n", PageFileStatus::CutShort},
      {"cut inside the analog numbers", "VPC\r\n3 0\r\n0\r\n", PageFileStatus::CutShort},
      {"a word for a number", "VPC\r\n2 0\r\n1\r\nx\r\n", PageFileStatus::BadNumber},
      {"an empty line for a number", "VPC\r\n2 0\r\n1\r\n\r\n", PageFileStatus::BadNumber},
      {"two numbers on a line", "VPC\r\n2 0\r\n1 2\r\n3\r\n", PageFileStatus::BadNumber},
  };
  for (const Case& c : cases) {
    const PageFileResult result = ReadPageFile(Put(c.bytes));
    EXPECT_EQ(result.Status, c.status) << c.what;
    EXPECT_TRUE(result.Page.Analog.empty() && result.Page.Switches.empty()) << c.what;
  }
}

TEST_F(PageFileTest, WhatIsNoReadableFileIsNotOpened) {
  EXPECT_EQ(ReadPageFile((dir / "missing.vpc").string()).Status, PageFileStatus::CannotOpen);
  EXPECT_EQ(ReadPageFile(dir.string()).Status, PageFileStatus::CannotOpen);
  // Far larger than any page: not read into memory.
  EXPECT_EQ(ReadPageFile(Put("VPC\r\n1 0\r\n1\r\n" + std::string(100000, '\n'))).Status,
            PageFileStatus::CannotOpen);
}

TEST_F(PageFileTest, AFileThatCannotBeWrittenLeavesTheOldOneWhole) {
  const std::string path = Put("VPC\r\n1 0\r\n3\r\n");
  std::string error;
  EXPECT_FALSE(WritePageFile((dir / "no-such-dir" / "x.vpc").string(), {{1}, {}}, error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(Bytes(path), "VPC\r\n1 0\r\n3\r\n");
}

}  // namespace
