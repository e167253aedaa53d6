#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/RegistryNames.h"

namespace quelvar::platform {
namespace {

using Names = std::vector<std::string>;

struct PathCase {
  std::string path;
  std::optional<Names> expected;
};

TEST(RegistryKeyPath, SplitsIntoNamesAndRejectsMalformedPaths) {
  const std::string tooLong(kMaxKeyNameLength + 1, 'k');
  std::string tooDeep;
  for (std::size_t i = 0; i <= kMaxKeyDepth; ++i) tooDeep += "\\k";
  std::string deepest;
  for (std::size_t i = 0; i < kMaxKeyDepth; ++i) deepest += "\\k";

  const PathCase cases[] = {
      {"\\SOFTWARE\\QuelvarTorque\\Color", Names{"SOFTWARE", "QuelvarTorque", "Color"}},
      {"SOFTWARE\\QuelvarTorque", Names{"SOFTWARE", "QuelvarTorque"}},   // leading backslash optional
      {"\\SOFTWARE\\QuelvarTorque\\", Names{"SOFTWARE", "QuelvarTorque"}},  // trailing one ignored
      {"\\Key with spaces/and slash", Names{"Key with spaces/and slash"}},
      {"", std::nullopt},
      {"\\", std::nullopt},
      {"\\\\", std::nullopt},
      {"\\SOFTWARE\\\\Color", std::nullopt},  // empty name inside
      {"\\SOFTWARE\\Co\nlor", std::nullopt},  // control character
      {"\\SOFTWARE\\" + tooLong, std::nullopt},
      {tooDeep, std::nullopt},
      {deepest, Names(kMaxKeyDepth, "k")},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitKeyPath(c.path), c.expected) << "path: " << c.path.substr(0, 60);
  }
}

TEST(RegistryKeyPath, NamesCompareWithoutRegardToAsciiCaseOnly) {
  EXPECT_TRUE(EqualsNoCase("QuelvarTorque", "QUELVARtorque"));
  EXPECT_FALSE(EqualsNoCase("QuelvarTorque", "QuelvarTorque1"));
  // Only ASCII letters fold: other bytes, such as UTF-8 text, must match exactly.
  EXPECT_FALSE(EqualsNoCase("\xC3\xA9", "\xC3\x89"));  // é vs É
  EXPECT_TRUE(LessNoCase("alpha", "BETA"));
  EXPECT_FALSE(LessNoCase("BETA", "alpha"));
}

}  // namespace
}  // namespace quelvar::platform
