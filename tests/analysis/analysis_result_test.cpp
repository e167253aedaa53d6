// The analysis-result record: the texts of each kind and what a hand-over
// stores.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "analysis/AnalysisResult.h"

namespace {

using namespace quelvar;

TEST(AnalysisResultTexts, EachKindHasItsGridNameTitleAndLabels) {
  struct Case {
    int32_t kind;
    const char* gridName;
    const char* title;
    const char* xLabel;
    const char* yLabel;
  };
  const Case cases[] = {
      {0, "相干函数", "", "", ""},
      {1, "功率谱", "U1的功率谱", "频率(Hz)", "功率谱"},
      {2, "互功率谱", "U1 与 I2的互功率谱", "频率(Hz)", "互功率谱"},
      {3, "Burg法谱", "U1的Burg谱", "频率(Hz)", "功率谱"},
      {4, "传递函数", "U1 与 I2的传递函数", "频率(Hz)", "传递函数"},
      {5, "自相关函数", "U1的自相关函数", "时间延迟(s)", "自相关函数"},
      {6, "互相关函数", "U1 与 I2的互相关函数", "时间延迟(s)", "互相关函数"},
      {7, "相干函数", "U1 与 I2的相干函数", "频率(Hz)", "相干函数"},
      {9, "相干函数", "", "", ""},
      {-1, "相干函数", "", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind);
    EXPECT_EQ(AnalysisKindGridName(c.kind), c.gridName);
    const AnalysisTexts texts = AnalysisKindTexts(c.kind, "U1", "I2");
    EXPECT_EQ(texts.Title, c.title);
    EXPECT_EQ(texts.XLabel, c.xLabel);
    EXPECT_EQ(texts.YLabel, c.yLabel);
  }
}

TEST(AnalysisResultStore, CopiesTheCurveAndFillsTheRecordButLeavesItInvalid) {
  AnalysisResult r;
  r.Valid = 1;
  r.RedrawPending = 0;
  std::vector<double> x{0.0, 10.0, 20.0};
  std::vector<double> y{1.0, 2.0, 3.0};
  ASSERT_TRUE(StoreAnalysisResult(r, kAnalysisCrossPower, x, y, "A", "B"));
  // The record owns copies: the producer's buffers may go.
  x.assign(3, -1.0);
  y.clear();
  EXPECT_EQ(r.X, (std::vector<double>{0.0, 10.0, 20.0}));
  EXPECT_EQ(r.Y, (std::vector<double>{1.0, 2.0, 3.0}));
  EXPECT_EQ(r.Count, 3);
  EXPECT_EQ(r.Points, 3);
  EXPECT_EQ(r.Curves, 1);
  EXPECT_EQ(r.Kind, kAnalysisCrossPower);
  EXPECT_EQ(r.Title, "A 与 B的互功率谱");
  EXPECT_EQ(r.Valid, 0);
  EXPECT_EQ(r.Usable(), 3);
}

TEST(AnalysisResultStore, AnEmptyOrUnevenResultIsRefusedAndKeepsThePreviousOne) {
  AnalysisResult r;
  ASSERT_TRUE(StoreAnalysisResult(r, kAnalysisPowerDensity, {1.0, 2.0}, {5.0, 6.0}, "A", "B"));
  r.Valid = 1;
  EXPECT_FALSE(StoreAnalysisResult(r, kAnalysisBurg, {}, {}, "C", "D"));
  EXPECT_EQ(r.Valid, 0);
  r.Valid = 1;
  EXPECT_FALSE(StoreAnalysisResult(r, kAnalysisBurg, {1.0}, {1.0, 2.0}, "C", "D"));
  EXPECT_EQ(r.Valid, 0);
  EXPECT_EQ(r.Kind, kAnalysisPowerDensity);
  EXPECT_EQ(r.Title, "A的功率谱");
  EXPECT_EQ(r.Points, 2);
}

TEST(AnalysisResultStore, UsableNeverReachesBeyondTheArrays) {
  AnalysisResult r;
  r.Points = 10;
  r.Y.assign(4, 0.0);
  r.X.assign(6, 0.0);
  EXPECT_EQ(r.Usable(), 4);
  r.Points = -3;
  EXPECT_EQ(r.Usable(), 0);
}

}  // namespace
