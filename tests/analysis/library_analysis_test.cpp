// The library panel's work without the library: what the preparation hands
// over, and how results are copied out and given back, through fake entries.

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "analysis/LibraryAnalysis.h"

namespace quelvar {
namespace {

// What the fake entries saw and handed out (plain functions, as the library's are).
struct Seen {
  const uint16_t* data = nullptr;
  int32_t numChn = 0;
  int32_t analogNum = 0;
  std::vector<float> coeA, coeB;
  int32_t xPosition = 0;
  int32_t displayWidth = 0;
  float rate = 0.0f;
  int32_t c1 = -1, c2 = -1, order = -1, nfft = -1;
  std::vector<double*> handedOut;
  std::vector<double*> freed;
  int32_t answer = 1;
  int32_t n = 3;
};
Seen seen;

int32_t FakeSend(const uint16_t* data, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t numChn, int32_t analogNum,
                 const float* coeA, const float* coeB, int32_t xPosition, int32_t displayWidth, float rate, float,
                 float) {
  seen.data = data;
  seen.numChn = numChn;
  seen.analogNum = analogNum;
  seen.coeA.assign(coeA, coeA + analogNum);
  seen.coeB.assign(coeB, coeB + analogNum);
  seen.xPosition = xPosition;
  seen.displayWidth = displayWidth;
  seen.rate = rate;
  return seen.answer;
}

int32_t HandOut(double** y, double** x, int32_t* n) {
  if (seen.answer == 0) return 0;
  *y = static_cast<double*>(std::malloc(sizeof(double) * static_cast<size_t>(seen.n)));
  *x = static_cast<double*>(std::malloc(sizeof(double) * static_cast<size_t>(seen.n)));
  for (int32_t i = 0; i < seen.n; ++i) {
    (*y)[i] = 10.0 + i;
    (*x)[i] = 0.5 * i;
  }
  *n = seen.n;
  seen.handedOut.push_back(*y);
  seen.handedOut.push_back(*x);
  return 1;
}
int32_t FakeBurg(double** y, double** x, int32_t* n, int32_t c1, int32_t order, int32_t nfft) {
  seen.c1 = c1, seen.order = order, seen.nfft = nfft;
  return HandOut(y, x, n);
}
int32_t FakeTwo(double** y, double** x, int32_t* n, int32_t c1, int32_t c2, int32_t nfft) {
  seen.c1 = c1, seen.c2 = c2, seen.nfft = nfft;
  return HandOut(y, x, n);
}
void FakeFree(double* a) {
  if (a != nullptr) seen.freed.push_back(a);
  std::free(a);
}

class LibraryAnalysisTest : public ::testing::Test {
 protected:
  AppState state;
  SignalLibraryEntries entries;
  std::vector<uint16_t> buffer = std::vector<uint16_t>(60, 2048);

  void SetUp() override {
    seen = Seen{};
    entries.SendADToMatlabArray = FakeSend;
    entries.CalcPBurg = FakeBurg;
    entries.CalcCPSD = FakeTwo;
    entries.FreeResult = FakeFree;
    state.config.Analog_Num = 3;
    state.config.NumChn = 3;
    for (size_t c = 0; c < 3; ++c) {
      state.config.AnalogChannelTable[c].ChnCoeA = 0.5f * static_cast<float>(c);
      state.config.AnalogChannelTable[c].ChnCoeB = 2.0f + static_cast<float>(c);
      state.config.AnalogChannelTable[c].ChnName = "C" + std::to_string(c);
    }
    state.display.DispData = buffer.data();
    state.display.DispRows = 15;
    state.display.DispRowWords = 4;  // three channels and a switch word
    state.display.DispValid = 1;
    state.wave.XPosition = 2;
    state.wave.DisplayWidth = 9;
    state.config.ChannelRate = 800.0f;
  }
};

TEST_F(LibraryAnalysisTest, PreparationHandsOverTheShownRangeWithTheBuffersRowWidth) {
  const LibraryPreparation prep = PrepareLibraryData(entries, state);
  EXPECT_TRUE(prep.prepared);
  EXPECT_EQ(prep.status, "预处理完成,对AD可进一步保存、处理");
  EXPECT_EQ(seen.data, buffer.data());
  EXPECT_EQ(seen.numChn, 4);
  EXPECT_EQ(seen.analogNum, 3);
  EXPECT_EQ(seen.coeA, (std::vector<float>{0.0f, 0.5f, 1.0f}));
  EXPECT_EQ(seen.coeB, (std::vector<float>{2.0f, 3.0f, 4.0f}));
  EXPECT_EQ(seen.xPosition, 2);
  EXPECT_EQ(seen.displayWidth, 9);
  EXPECT_FLOAT_EQ(seen.rate, 800.0f);

  seen.answer = 0;
  EXPECT_EQ(PrepareLibraryData(entries, state).status, "按MATLAB格式建立AD变量失败!");
  EXPECT_EQ(PrepareLibraryData(SignalLibraryEntries{}, state).status, "按MATLAB格式建立AD变量失败!");
  seen = Seen{};
  state.display.DispValid = 0;
  const LibraryPreparation none = PrepareLibraryData(entries, state);
  EXPECT_FALSE(none.prepared);
  EXPECT_EQ(none.status, "错误!无AD数据!");
  EXPECT_EQ(seen.data, nullptr);  // the library is not called
}

// With MaxMultiFreq display points a row the library, which counts rows, is
// given the rows holding the shown points.
TEST_F(LibraryAnalysisTest, MultiRateDataHandOverTheRowsHoldingTheShownPoints) {
  state.config.MaxMultiFreq = 4;
  state.display.DispPoints = state.display.DispRows * 4;
  struct Case {
    int32_t xPosition, displayWidth, first, count;
  };
  const Case cases[] = {
      {0, 60, 0, 15},  // the whole buffer
      {8, 20, 2, 5},   // aligned: points 8..27 are rows 2..6
      {6, 9, 1, 3},    // points 6..14 touch rows 1..3
      {3, 1, 0, 1},
  };
  for (const Case& c : cases) {
    seen = Seen{};
    state.wave.XPosition = c.xPosition;
    state.wave.DisplayWidth = c.displayWidth;
    EXPECT_TRUE(PrepareLibraryData(entries, state).prepared);
    EXPECT_EQ(seen.xPosition, c.first) << c.xPosition << "+" << c.displayWidth;
    EXPECT_EQ(seen.displayWidth, c.count) << c.xPosition << "+" << c.displayWidth;
    EXPECT_FLOAT_EQ(seen.rate, 800.0f);  // the base rate of a row
  }
}

TEST_F(LibraryAnalysisTest, ResultsAreCopiedOutAndGivenBackToTheLibrary) {
  LibraryChannels ch;
  ch.c1 = 2;
  ch.c2 = 1;
  int32_t count = 0;
  std::vector<double> x, y;
  ASSERT_TRUE(CalcLibraryAnalysis(entries, LibraryAnalysis::PBurg, ch, 512, 12, count, x, y));
  EXPECT_EQ(seen.c1, 2);
  EXPECT_EQ(seen.order, 12);
  EXPECT_EQ(seen.nfft, 512);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(y, (std::vector<double>{10.0, 11.0, 12.0}));
  EXPECT_EQ(x, (std::vector<double>{0.0, 0.5, 1.0}));
  EXPECT_EQ(seen.freed, seen.handedOut);  // both arrays, through the library

  ASSERT_TRUE(CalcLibraryAnalysis(entries, LibraryAnalysis::CPSD, ch, 256, 12, count, x, y));
  EXPECT_EQ(seen.c2, 1);
  EXPECT_EQ(seen.freed.size(), 4U);

  // A refusal, or an entry the library lacks: nothing copied, nothing to give back.
  seen.answer = 0;
  x = y = {7.0};
  EXPECT_FALSE(CalcLibraryAnalysis(entries, LibraryAnalysis::CPSD, ch, 256, 12, count, x, y));
  EXPECT_FALSE(CalcLibraryAnalysis(entries, LibraryAnalysis::Cohere, ch, 256, 12, count, x, y));
  EXPECT_EQ(count, 0);
  EXPECT_EQ(y, std::vector<double>{7.0});
  EXPECT_EQ(seen.freed.size(), 4U);
}

TEST_F(LibraryAnalysisTest, ChannelChecksNameTheChannelsOrRefuse) {
  const PanelChannel c0{0, true}, c2{2, true}, sw{3, false};
  LibraryChannels ch = CheckLibraryChannels(LibraryAnalysis::Cohere, c2, c0, state);
  EXPECT_EQ(ch.refusal, "");
  EXPECT_EQ(ch.a, "C2");
  EXPECT_EQ(ch.b, "C0");
  // A one-channel analysis looks only at the first.
  EXPECT_EQ(CheckLibraryChannels(LibraryAnalysis::PSD, c0, sw, state).refusal, "");
  EXPECT_EQ(CheckLibraryChannels(LibraryAnalysis::Corr, c0, sw, state).refusal, "错误：开关量通道不能进行谱分析！");
  state.layout.MultiFreqTable[2] = 2;
  EXPECT_EQ(CheckLibraryChannels(LibraryAnalysis::TFE, c0, c2, state).refusal, "错误：两通道频率不同！");
  EXPECT_EQ(CheckLibraryChannels(LibraryAnalysis::AutoCorr, c2, c0, state).refusal, "");
  state.config.Analog_Num = 0;
  EXPECT_EQ(CheckLibraryChannels(LibraryAnalysis::PSD, c0, c0, state).refusal, "错误：没有模拟量通道！");
}

}  // namespace
}  // namespace quelvar
