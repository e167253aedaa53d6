#include <gtest/gtest.h>

#include <cfloat>
#include <limits>
#include <string>
#include <vector>

#include "common/TextUtil.h"

namespace quelvar {
namespace {

using Lines = std::vector<std::string>;

TEST(SplitLines, BreaksAtLfAndSkipsTheNextCharacter) {
  struct Case {
    std::string text;
    Lines expected;
  };
  const Case cases[] = {
      {"", {}},
      {"abc", {"abc"}},
      {"a\n\rb", {"a", "b"}},
      {"a\n\r", {"a"}},             // no empty last line
      {"a\n\r\n\rb", {"a", "", "b"}},
      {"\n\r", {""}},
      {"\n\rb", {"", "b"}},
      {"a\n", {"a"}},               // LF as the last character just ends the line
      {"a\nXb", {"a", "b"}},        // the character after LF is skipped even if not CR
      {"a\r\nb", {"a\r"}},          // CR LF text: the LF swallows the 'b'
      {"\rab\r", {"\rab\r"}},       // CR alone breaks nothing
      {"x\n\ry\n\rz", {"x", "y", "z"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitLines(c.text), c.expected) << c.text;
}

TEST(SplitLines, TwoJoinedLinesComeBackUnchanged) {
  const std::pair<std::string, std::string> pairs[] = {
      {"Channel 1", "12.5 V"},
      {"", "b"},
      {"通道", "△T = 1s500ms"},
      {"a b", " "},
  };
  for (const auto& [first, second] : pairs) {
    EXPECT_EQ(SplitLines(first + "\n\r" + second), (Lines{first, second}));
  }
}

TEST(FormatTimeSpan, UnitsTable) {
  struct Case {
    double seconds;
    const char* expected;
  };
  const Case cases[] = {
      {0.0, "0ms"},
      {-0.0, "0ms"},
      {0.0125, "12.5ms"},
      {0.5, "500ms"},
      {-0.25, "-250ms"},
      {0.000123456789, "0.1234568ms"},
      {1e-9, "1E-006ms"},
      {1e-12, "1E-009ms"},
      {1.0, "1s"},
      {1.5, "1s500ms"},
      {1.1, "1s100ms"},
      {-1.5, "-1s500ms"},
      {-2.0, "-2s"},
      {59.999, "59s999ms"},
      {60.0, "1m0s"},
      {3600.0, "1h0m0s"},
      {3661.25, "1h1m1s250ms"},
      {86400.0, "1d0h0m0s"},
      {90061.0, "1d1h1m1s"},
      {172800.5, "2d0h0m0s500ms"},
      {9007199254740992.0, "104249991374d7h36m32s"},
      {std::numeric_limits<double>::quiet_NaN(), "NANms"},
      {std::numeric_limits<double>::infinity(), "INFms"},
      {-std::numeric_limits<double>::infinity(), "-INFms"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatTimeSpan(c.seconds), c.expected) << c.seconds;
}

// No integer type holds the day count; the smaller units are still exact
// (DBL_MAX mod 86400 is 52008 s).
TEST(FormatTimeSpan, LargestDoubleWritesAllDayDigits) {
  const std::string text = FormatTimeSpan(DBL_MAX);
  EXPECT_EQ(text.find('d'), 304u);
  EXPECT_EQ(text.substr(304), "d14h26m8s");
}

TEST(WithCrLf, EveryLineEndsInCrLfExactlyOnce) {
  struct Case {
    std::string_view in;
    std::string expected;
  } cases[] = {
      {"", ""},
      {"one line", "one line"},
      {"a\nb\n", "a\r\nb\r\n"},
      {"a\r\nb", "a\r\nb"},  // already stored form
      {"\n\n", "\r\n\r\n"},
      {"a\rb", "a\rb"},  // a lone CR is not a line end here
  };
  for (const Case& c : cases) EXPECT_EQ(WithCrLf(c.in), c.expected) << c.in;
}

}  // namespace
}  // namespace quelvar
