#include <gtest/gtest.h>

#include <cstring>

#include "acquisition/DriverErrors.h"

namespace {

using namespace quelvar;

TEST(DriverErrorText, KnownCodesGiveTheirReasonUnknownOnesSaySo) {
  struct Case {
    int32_t code;
    const char* text;
  } cases[] = {
      {0, "无错误"},
      {1, "DLL驱动程序不存在"},
      {4, "驱动程序未开始工作"},
      {10, "缓冲区块数NumBuf太小"},
      {17, "采样频率FrqSamp太大"},
      {19, "程控放大倍数AmpGain错误"},
      {101, "初始化命令数据块大小错误"},
      {116, "用户模式到内核驱动程序的数据结构不匹配"},
      {1000, "其它错误"},
      {5, "未定义的错误类型"},
      {9, "未定义的错误类型"},
      {20, "未定义的错误类型"},
      {100, "未定义的错误类型"},
      {117, "未定义的错误类型"},
      {1001, "未定义的错误类型"},
      {-1, "未定义的错误类型"},
  };
  for (const Case& c : cases) EXPECT_EQ(DriverErrorText(c.code), c.text) << c.code;
  EXPECT_EQ("AD板启动错误,原因:" + DriverErrorText(17), "AD板启动错误,原因:采样频率FrqSamp太大");
}

// Property entries of a pretend driver, switched per test.
int32_t g_length = 0;
const char* g_text = "";
int32_t FakeSize() { return g_length; }
int32_t FakeString(char* buffer) {
  std::memcpy(buffer, g_text, std::strlen(g_text) + 1);
  return 1;
}

TEST(ADPropText, ReadsTheAnnouncedLengthAndNeverMore) {
  AdDriver driver;
  EXPECT_EQ(ReadADPropText(driver).status, PropTextStatus::NoEntries);
  driver.GetADPropStrSize = &FakeSize;
  EXPECT_EQ(ReadADPropText(driver).status, PropTextStatus::NoEntries);  // one entry is not enough
  driver.GetADPropString = &FakeString;

  g_length = 0;
  g_text = "";
  PropText p = ReadADPropText(driver);
  EXPECT_EQ(p.status, PropTextStatus::Ok);
  EXPECT_EQ(p.text, "");

  g_length = 8;
  g_text = "12bit AD";
  EXPECT_EQ(ReadADPropText(driver).text, "12bit AD");

  g_length = 1 << 30;  // a length no buffer is made for
  EXPECT_EQ(ReadADPropText(driver).status, PropTextStatus::CannotAllocate);
}

}  // namespace
