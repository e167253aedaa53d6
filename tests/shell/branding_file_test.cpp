#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "shell/BrandingFile.h"

namespace {

using quelvar::ReadBrandingFile;
namespace fs = std::filesystem;

TEST(BrandingFile, ThreeLinesWithOrWithoutTheLastLineBreak) {
  const fs::path file = fs::path(testing::TempDir()) / ("OEM-" + std::to_string(getpid()) + ".def");
  struct Case {
    std::string content;
    std::string logo, large, small;
  } cases[] = {
      {"logo.bmp\nBig\nSmall\n", "logo.bmp", "Big", "Small"},
      {"logo.bmp\nBig\nSmall", "logo.bmp", "Big", "Small"},
      {"logo.bmp\r\nBig\r\nSmall\r\n", "logo.bmp", "Big", "Small"},
      {"logo.bmp\n", "logo.bmp", "", ""},
      {"", "", "", ""},
      {std::string(300, 'x') + "\n", std::string(254, 'x'), "", ""},
      {"\xC2\xBC\xB2\xA8\xC6\xF7\n", "录波器", "", ""},  // GBK text
  };
  for (const Case& c : cases) {
    std::ofstream(file, std::ios::binary) << c.content;
    const auto b = ReadBrandingFile(file.string());
    ASSERT_TRUE(b.has_value());
    EXPECT_EQ(b->LogoFile, c.logo);
    EXPECT_EQ(b->LargeText, c.large);
    EXPECT_EQ(b->SmallText, c.small);
  }
  fs::remove(file);
  EXPECT_FALSE(ReadBrandingFile(file.string()).has_value());
}

}  // namespace
