#include "acquisition/DriverErrors.h"

#include <new>
#include <vector>

#include "platform/GbkText.h"

namespace quelvar {

namespace {

struct CodeText {
  int32_t code;
  const char* text;
};

constexpr CodeText kTexts[] = {
    {0, "无错误"},
    {1, "DLL驱动程序不存在"},
    {2, "内核驱动程序不存在"},
    {3, "驱动程序未初始化"},
    {4, "驱动程序未开始工作"},
    {10, "缓冲区块数NumBuf太小"},
    {11, "每块采样数NumSamp太小"},
    {12, "通道数NumChn太小"},
    {13, "提示信息编号NotifyNo错误"},
    {14, "通道数NumChn太大"},
    {15, "开始通道或开关量数BegChn错误"},
    {16, "采样频率FrqSamp太小"},
    {17, "采样频率FrqSamp太大"},
    {18, "采样缓冲区是空的"},
    {19, "程控放大倍数AmpGain错误"},
    {101, "初始化命令数据块大小错误"},
    {102, "驱动程序已经开始工作"},
    {103, "无IO资源"},
    {104, "无内存Mem资源"},
    {105, "无IRQ资源"},
    {106, "采集板硬件不存在"},
    {107, "内核驱动程序未初始化"},
    {108, "驱动命令数据块大小错误"},
    {109, "分配缓冲区内存失败"},
    {110, "驱动程序还未工作"},
    {111, "不是多缓冲区采集方式"},
    {112, "接受数据缓冲区太小"},
    {113, "不是单缓冲区采集方式"},
    {114, "IOCtl的参数不支持"},
    {115, "提示注册RegisterNotify数据块大小错误"},
    {116, "用户模式到内核驱动程序的数据结构不匹配"},
    {1000, "其它错误"},
};

// A property text longer than this is taken as a buffer that cannot be had:
// the length comes from the driver and is not trusted.
constexpr int32_t kMaxPropTextBytes = 1 << 20;

}  // namespace

std::string DriverErrorText(int32_t code) {
  for (const CodeText& t : kTexts) {
    if (t.code == code) return t.text;
  }
  return "未定义的错误类型";
}

PropText ReadADPropText(const AdDriver& driver) {
  PropText out;
  if (driver.GetADPropStrSize == nullptr || driver.GetADPropString == nullptr) return out;
  const int32_t length = driver.GetADPropStrSize();
  if (length > kMaxPropTextBytes) {
    out.status = PropTextStatus::CannotAllocate;
    return out;
  }
  // A negative length gets the one byte of an empty text.
  const size_t size = static_cast<size_t>(length > 0 ? length : 0) + 1;
  std::vector<char> buffer(size, '\0');
  driver.GetADPropString(buffer.data());
  out.status = PropTextStatus::Ok;
  out.text = platform::ReadGbkField(buffer.data(), buffer.size());
  return out;
}

}  // namespace quelvar
