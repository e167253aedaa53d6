#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/AdDriver.h"
#include "common/LiveConfig.h"
#include "setup/DialogNumbers.h"

namespace quelvar {

// The rules of the AD card dialog: how its edits are read, clamped and shown,
// the per-channel frequency line, and what its OK writes into the live
// settings. The window only moves texts between its controls and these.

// Texts the dialog shows.
inline constexpr const char* kNoDriverNotice = "提示：无驱动程序";
inline constexpr const char* kOpenerNoDriverNotice = "不能驱动AD板:无驱动程序";
inline constexpr const char* kADBitTooLargeNotice = "提示：要求AD位数<=16,但实际为";
inline constexpr const char* kADBitVZeroWarning = "警告：ADBit与VZero不匹配!";
inline constexpr const char* kReplaySourcePrefix = "仿真数据自:";
inline constexpr const char* kBadReplayFileText = "所选记录文件格式不对!";
inline constexpr const char* kBadReplayFileCaption = "操作失败";
inline constexpr const char* kNoHistoryFileText = "没有选中历史数据文件!";
inline constexpr const char* kNoHistoryFileCaption = "不能操作";
inline constexpr const char* kBlockRateQuestion = "对当前采集率来说，录波器方式下每通道采样数可能太小，继续否？";
inline constexpr const char* kBlockRateCaption = "请再次确认";

// More blocks per second than this make the dialog ask before it closes.
inline constexpr double kMaxQuietBlocksPerSecond = 50.0;

// Upper-case hexadecimal with as few digits as needed ("140", "D8000").
std::string HexText(uint32_t value);

// The hint of the samples label: "最小值=" + the smallest samples per channel
// that fill the card's minimum block; empty for a channel count below 1.
std::string MinimumSamplesHint(int32_t cardMinBlockSamples, int32_t numChn);

// Samples per channel s for c channels (c below 1 counts as 1): at least 1,
// and enough rows that s x c reaches the card's minimum block.
int32_t FitBlockMinimum(int64_t samples, int64_t channels, int32_t cardMinBlockSamples);

// The exits of the edits, each giving the value written back.
int32_t ChannelCountFromText(std::string_view text);                   // 1 for no number, at least 1
int32_t SamplesPerChannelFromTexts(std::string_view samples, std::string_view channels,
                                   int32_t cardMinBlockSamples);       // 1 and 2 for no numbers
int32_t FilterCoeFromText(std::string_view text);                      // 950 for no number, 1..999
int32_t ResampNumFromText(std::string_view text);                      // 2 for no number, 2..1000

// What the frequency line is computed from: the nominal frequency edit, the
// configuration in force, the driver's rate entry and the dialog's own
// resampling switch and factor.
struct DialogRateInputs {
  std::string_view frqSampText;
  bool temporaryConfig = false;
  int32_t analogNum = 0;
  bool pidEnable = false;
  bool resampling = false;
  int32_t resampFactor = 2;
  AdChannelFrqFn channelFrq = nullptr;
};
// The per-channel frequency the driver will use; a negative or not-a-number
// rate becomes 1.
float DialogChannelRate(const DialogRateInputs& in);
// "每通道采样频率=" + the rate (7 significant digits) + " Hz".
std::string ChannelRateLine(float rate);
// The opener's form of the line: fixed point with 3 decimals.
std::string OpenerChannelRateLine(float rate);

// True when VZero (its fraction cut off, as an unsigned 16-bit value) is
// 2^(ADBit - 1).
bool VZeroMatchesADBit(float vZero, int32_t adBit);

// The virtual-card switch: whether the box must be ticked and the notices
// the status line gets, in order (the last one stays).
struct SimulateSwitchRule {
  bool forceTicked = false;
  std::string notice;
};
SimulateSwitchRule SimulateSwitchFor(int32_t driverUsable, int32_t adBit);

// The replay delay: an integer answer is taken, anything else keeps the
// present value; never below 0.
int32_t SimulateIntervalFromAnswer(std::string_view answer, int32_t present);
// "仿真数据块时延(" + ms + "ms)".
std::string SimulateIntervalCaption(int32_t ms);

// A file chosen as the virtual card's data: its name is kept whatever it
// holds; a valid record file becomes the source (SimulateType 1). False
// when the file is refused.
bool ChooseReplayFile(const std::string& path, LiveConfig& live);

// The texts and switches the dialog's OK reads.
struct ConfADFields {
  bool simulate = false;
  bool randomSpikes = false;
  std::string ioBase, physAddr, irqNum, begChn, numChn, numBuf, numSamp, frqSamp, ampGain, adBit;
  bool filter = false;
  bool resampling = false;
  std::string filterCoe, resampNum;
  bool keepLastPoint = true;
};

struct ConfADOutcome {
  // The virtual-card box must show ticked (no usable driver).
  bool simulateTicked = false;
  // The text of the first field without a default that holds no number;
  // OK stopped there, the fields before it are stored.
  std::optional<std::string> notANumber;
  // Blocks would come faster than kMaxQuietBlocksPerSecond on the real card:
  // the user confirms before the dialog closes.
  bool askBlockRate = false;
};

// The dialog's OK, field by field straight into the live settings, with the
// clamps of each field. `keptRate` is the last frequency line's rate.
ConfADOutcome ApplyConfADFields(const ConfADFields& fields, const DriverState& driver, float keptRate,
                                LiveConfig& live);

// The channel rate after OK when it cannot come from the driver (a lent
// configuration, or no rate entry): the remembered rate scaled to the new
// nominal frequency, or the nominal frequency when the remembered one is 0.
// A negative or not-a-number rate becomes 1.
float ScaledChannelRate(int32_t frqSamp, int32_t rememberedFrqSamp, float rememberedRate);

}  // namespace quelvar
