#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "view/MarkKindRules.h"
#include "view/MarkPoints.h"
#include "view/MarkValues.h"

namespace {

using namespace quelvar;

TEST(MarkKindRules, EachMarkOffersItsKinds) {
  const struct {
    int32_t kind;
    bool mark1, mark2;
  } cases[] = {{0, true, true},   {7, true, true},    {8, false, false}, {11, false, false}, {12, true, true},
               {14, true, true},  {15, false, true},  {16, false, true}, {17, false, true},  {18, true, true},
               {19, true, true},  {21, true, true},   {22, false, false}, {-1, false, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(MarkOffersKind(1, c.kind), c.mark1) << c.kind;
    EXPECT_EQ(MarkOffersKind(2, c.kind), c.mark2) << c.kind;
  }
  EXPECT_EQ(MarkKindItems().size(), 18u);
}

TEST(MarkKindRules, TheStartUpBringsBackWhatEachMarksRestoreKnows) {
  const struct {
    int mark;
    int32_t stored, restored;
  } cases[] = {{1, 0, 0},   {1, 7, 7},   {1, 12, 12}, {1, 14, 14}, {1, 15, 0},  {1, 17, 0},  {1, 18, 18},
               {1, 19, 0},  {1, 21, 21}, {1, 9, 0},   {1, 40, 0},  {2, 15, 15}, {2, 16, 16}, {2, 17, 17},
               {2, 19, 0},  {2, 20, 20}, {2, -5, 0},  {2, 22, 0}};
  for (const auto& c : cases) EXPECT_EQ(RestoredMarkKind(c.mark, c.stored), c.restored) << c.mark << "/" << c.stored;
}

TEST(MarkKindRules, AnswersAreWholeNumbersRaisedToTheLeast) {
  const struct {
    std::optional<std::string> answer;
    int32_t current, minimum, value;
  } cases[] = {
      {"abc", 3, 0, 3}, {"-3", 3, 0, 0}, {"0", 4, 1, 1}, {"1", 10, 2, 2}, {" 7 ", 2, 0, 7},
      {std::nullopt, 5, 2, 5}, {"", 6, 0, 6}, {"2.5", 6, 0, 6}, {"99999999999", 6, 0, 6},
      // A stored value below the least is raised even without an answer.
      {std::nullopt, -4, 0, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParameterAnswer(c.answer, c.current, c.minimum), c.value) << c.answer.value_or("(none)");
  }
  EXPECT_EQ(ParameterCaption("n次谐波量(n=", 0), "n次谐波量(n=0)");
}

TEST(MarkKindRules, PromptsDifferByKindAndMark) {
  EXPECT_EQ(ParameterPromptOf(kMarkHarmonic, 1)->prompt, "请输入谐波次数n(n>=0):    ");
  EXPECT_EQ(ParameterPromptOf(kMarkHarmonic, 2)->prompt, "请输入谐波次数n(n>=0):   ");
  EXPECT_EQ(ParameterPromptOf(kMarkIncrement, 1)->prompt, "请输入周波n(n>0):   ");
  EXPECT_EQ(ParameterPromptOf(kMarkIncrement, 2)->prompt, "请输入周波数n(n>0):   ");
  EXPECT_EQ(ParameterPromptOf(kMarkIncrement, 2)->minimum, 1);
  EXPECT_EQ(ParameterPromptOf(kMarkPeriod, 2)->captionPrefix, "前n点周期(n=");
  for (int32_t kind : {kMarkInstant, kMarkAlgorithmValue, kMarkSpeed, 9}) EXPECT_FALSE(ParameterPromptOf(kind, 1));
  WaveViewState v;
  EXPECT_EQ(MarkParameter(v, kMarkRate, 1), &v.MarkRatioN2);  // mark 2's, for either mark
  EXPECT_EQ(MarkParameter(v, kMarkHarmonic, 2), &v.MarkHarmonics2);
  EXPECT_EQ(MarkParameter(v, kMarkPhase, 1), nullptr);
}

TEST(MarkKindRules, AlgorithmNumbersStayWithinTheConfiguredOnes) {
  EXPECT_EQ(ClampAlgorithmNumber(9, 5), 4);
  EXPECT_EQ(ClampAlgorithmNumber(3, 5), 3);
  EXPECT_EQ(ClampAlgorithmNumber(-2, 5), 0);
  EXPECT_EQ(ClampAlgorithmNumber(3, 0), 0);
}

class MarkTimeOrigin : public ::testing::Test {
 protected:
  // Four blocks of 100 points in a ring whose oldest block is block 1.
  WaveViewState view;
  DisplayDescriptor display;
  void SetUp() override {
    display.DispValid = 1;
    display.DispBlocks = 4;
    display.DispRows = 400;
    display.DispPoints = 400;
    display.DispFirstBlock = 1;
    display.DispTriggerBlock = 3;
    display.DispTriggerPoint = 7;
  }
};

TEST_F(MarkTimeOrigin, TheMarksInstantBecomesTimeZero) {
  view.XPosition = 250;
  view.Mark1X = 60;
  ASSERT_TRUE(MoveTimeOriginToMark(view, display, 100, 1, 1));
  // Window point 309 lies 309 points after block 1's start: block 0, point 9
  // round the ring.
  EXPECT_EQ(display.DispTriggerBlock, 0);
  EXPECT_EQ(display.DispTriggerPoint, 9);
  EXPECT_EQ(view.RepaintRequested, 1);
  const MarkPoint at = MapMarkPoint(display, 100, 1, int64_t{view.XPosition} + view.Mark1X - 1);
  EXPECT_EQ(at.TimeIndex, at.Origin);
}

TEST_F(MarkTimeOrigin, NothingMovesInTheCompressedTailOrWithoutData) {
  display.DispCompressed = 1;
  display.DispCompressStart = 3;  // window points from 200 on
  view.XPosition = 150;
  view.Mark2X = 51;
  EXPECT_FALSE(MoveTimeOriginToMark(view, display, 100, 1, 2));
  EXPECT_EQ(display.DispTriggerBlock, 3);
  EXPECT_EQ(display.DispTriggerPoint, 7);
  EXPECT_EQ(view.RepaintRequested, 0);
  // The point before the tail still moves it.
  view.Mark2X = 50;
  EXPECT_TRUE(MoveTimeOriginToMark(view, display, 100, 1, 2));
  EXPECT_EQ(display.DispTriggerBlock, 2);
  EXPECT_EQ(display.DispTriggerPoint, 99);
  display.DispCompressed = 0;
  display.DispValid = 0;
  view.RepaintRequested = 0;
  EXPECT_FALSE(MoveTimeOriginToMark(view, display, 100, 1, 2));
  EXPECT_EQ(view.RepaintRequested, 0);
}

}  // namespace
