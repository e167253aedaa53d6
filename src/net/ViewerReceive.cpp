#include "net/ViewerReceive.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <optional>

#include "common/NumberFormat.h"
#include "net/LzssCodec.h"
#include "net/PackedBlock.h"
#include "platform/DayTime.h"

namespace quelvar {

namespace {

// Receive steps of the message phase.
constexpr int32_t kStepRawBlock = 0;
constexpr int32_t kStepCode = 1;
constexpr int32_t kStepLength = 2;
constexpr int32_t kStepCompressed = 3;

constexpr int32_t kPhaseConfig = 0;
constexpr int32_t kPhaseMessages = 1;

// ADMax as the configuration check takes it: truncated, and 0 when it has
// no 32-bit integer value.
int64_t TruncatedFullScale(float adMax) {
  const double value = adMax;
  if (!std::isfinite(value) || value <= -2147483649.0 || value >= 2147483648.0) return 0;
  return static_cast<int64_t>(std::trunc(value));
}

// 2^ADBit - 1, or nothing when no whole number can be that (a negative
// resolution) or none that the truncation above can give.
std::optional<int64_t> FullScaleOfResolution(int32_t adBit) {
  if (adBit < 0 || adBit > 32) return std::nullopt;
  return (int64_t{1} << adBit) - 1;
}

// The station's own check, then every check a foreign record must pass
// before it is applied: a record the apply would refuse must not lend the
// viewer a temporary configuration of its own settings, nor a caption that
// names the station, nor a run that takes blocks in a layout nobody sent.
bool StationConfigLooksRight(const ConfigRecord& record) {
  if (record.RecordSize != kConfigRecordSize) return false;
  const std::optional<int64_t> fullScale = FullScaleOfResolution(record.ADBit);
  if (!fullScale || *fullScale != TruncatedFullScale(record.ADMax)) return false;
  return ValidateConfigRecord(record) != 0;
}

std::string StationConfigLogLine(const LiveConfig& c) {
  return "采集站配置:AD板总通道=" + std::to_string(c.NumChn) + "; 母线+线路=" + std::to_string(c.Total_Line) +
         ";\r\n 模拟通道数=" + std::to_string(c.Analog_Num) + "; 开关量通道数=" + std::to_string(c.SW_Num) +
         ";\r\n 通道采样率=" + FormatFixed(c.ChannelRate, 7, 1) + " Hz" + ";\r\n AD板采样最大值=" +
         FormatFixed(c.ADMax, 7, 0) + " (代表采样精度)";
}

}  // namespace

ViewerReceiver::ViewerReceiver(ViewerHost& host, const LiveConfig& config, LzssCodec& codec, const GrayTables& gray)
    : host_(host), config_(config), codec_(codec), gray_(gray) {}

void ViewerReceiver::Open() {
  open_ = true;
  phase_ = kPhaseMessages;
  // Blocks are taken only in the layout this connection's configuration set.
  blockBytes_ = 0;
  EnterStep(kStepCode, 1);
}

void ViewerReceiver::Close() {
  open_ = false;
  phase_ = kPhaseConfig;
}

void ViewerReceiver::Feed(const uint8_t* data, size_t size) {
  if (data == nullptr) return;
  size_t at = 0;
  // Each pass takes at least one byte; a handler that stops the run or
  // closes the link makes the rest be dropped.
  while (at < size) {
    if (!open_ || !host_.TakesStream()) return;
    const uint8_t* bytes = data + at;
    const size_t left = size - at;
    if (phase_ == kPhaseConfig) {
      at += ReceiveConfig(bytes, left);
      continue;
    }
    switch (step_) {
      case kStepCode:
        at += ReadCode(bytes[0]);
        break;
      case kStepLength:
        at += ReceiveLength(bytes, left);
        break;
      case kStepCompressed:
        at += ReceiveCompressed(bytes, left);
        break;
      default:
        at += ReceiveRaw(bytes, left);
        break;
    }
  }
}

size_t ViewerReceiver::ReceiveConfig(const uint8_t* data, size_t size) {
  const size_t take = static_cast<size_t>(std::min<uint64_t>(size, kConfigRecordSize - received_));
  std::memcpy(reinterpret_cast<uint8_t*>(&configArea_) + received_, data, take);
  received_ += take;
  if (received_ == kConfigRecordSize) FinishConfig();
  return take;
}

void ViewerReceiver::FinishConfig() {
  if (!StationConfigLooksRight(configArea_)) {
    Fail("接收到错误的配置信息,停止!");
    return;
  }
  host_.ApplyStationConfig(configArea_);
  if (!open_) return;
  const bool prepared = host_.PrepareStart();
  if (!open_) return;
  if (!prepared || !PrepareBuffers()) {
    Fail("系统参数设置错误!");
    return;
  }
  host_.PostStatus("开始从采集站" + config_.ServerIP + "接受采样数据...");
  host_.AppendRunLog(StationConfigLogLine(config_));
  phase_ = kPhaseMessages;
  EnterStep(kStepCode, 1);
}

bool ViewerReceiver::PrepareBuffers() {
  const uint64_t r = RawBlockBytes(config_.NumChn, config_.NumSamp);
  if (r == 0) return false;
  try {
    block_.resize(static_cast<size_t>(r / 2));
    compressed_.resize(static_cast<size_t>(r - 1));
  } catch (const std::bad_alloc&) {
    block_ = {};
    compressed_ = {};
    return false;
  }
  blockBytes_ = r;
  numChn_ = config_.NumChn;
  analogColumns_ = std::clamp(config_.Analog_Num, 0, config_.NumChn);
  numSamp_ = config_.NumSamp;
  return true;
}

void ViewerReceiver::Fail(const std::string& status) {
  // Nothing more is taken until the next Open; the counters stay as they are.
  open_ = false;
  blockBytes_ = 0;
  host_.StopRunningMode();
  host_.PostStatus(status);
}

size_t ViewerReceiver::ReadCode(uint8_t code) {
  switch (code) {
    case StationMessage::NotSampling:
      host_.PostStatus("采集站还未开始采样!");
      break;
    case StationMessage::Stopped:
      host_.PostStatus("采集站停止采样!");
      host_.AppendRunLog("\r\n采集站停止采样于:" + platform::PageStampText(host_.Now()));
      break;
    case StationMessage::Started:
      host_.PostStatus("采集站开始采样!");
      phase_ = kPhaseConfig;
      expected_ = kConfigRecordSize;
      received_ = 0;
      break;
    case StationMessage::CompressedBlock:
    case StationMessage::PackedBlock:
      code_ = code;
      EnterStep(kStepLength, kBlockLengthBytes);
      break;
    case StationMessage::RawBlock:
      // Before any configuration its size is unknown, so the code is
      // dropped and the next byte read as a code.
      if (blockBytes_ != 0) {
        code_ = code;
        EnterStep(kStepRawBlock, blockBytes_);
      }
      break;
    default:
      // No station sends this: the stream is out of step, and reading on
      // would take whatever follows as a block.
      Fail(kUnknownBlockStatus);
      break;
  }
  return 1;
}

size_t ViewerReceiver::ReceiveLength(const uint8_t* data, size_t size) {
  const size_t take = static_cast<size_t>(std::min<uint64_t>(size, kBlockLengthBytes - received_));
  std::memcpy(lengthBytes_ + received_, data, take);
  received_ += take;
  if (received_ == kBlockLengthBytes) {
    const uint64_t n = static_cast<uint64_t>(lengthBytes_[0]) | static_cast<uint64_t>(lengthBytes_[1]) << 8 |
                       static_cast<uint64_t>(lengthBytes_[2]) << 16 | static_cast<uint64_t>(lengthBytes_[3]) << 24;
    if (n > 0 && n < blockBytes_ && n <= compressed_.size()) {
      EnterStep(kStepCompressed, n);
    } else {
      EnterStep(kStepCode, 1);
    }
  }
  return take;
}

size_t ViewerReceiver::ReceiveCompressed(const uint8_t* data, size_t size) {
  const size_t take = static_cast<size_t>(std::min<uint64_t>(size, expected_ - received_));
  std::memcpy(compressed_.data() + received_, data, take);
  received_ += take;
  if (received_ == expected_) {
    const uint64_t n = expected_;
    EnterStep(kStepCode, 1);
    ExpandCompressed(n);
  }
  return take;
}

size_t ViewerReceiver::ReceiveRaw(const uint8_t* data, size_t size) {
  const size_t take = static_cast<size_t>(std::min<uint64_t>(size, expected_ - received_));
  std::memcpy(reinterpret_cast<uint8_t*>(block_.data()) + received_, data, take);
  received_ += take;
  if (received_ == expected_) {
    EnterStep(kStepCode, 1);
    Accept();
  }
  return take;
}

void ViewerReceiver::EnterStep(int32_t step, uint64_t expected) {
  step_ = step;
  expected_ = expected;
  received_ = 0;
}

void ViewerReceiver::ExpandCompressed(uint64_t n) {
  const auto r = static_cast<size_t>(blockBytes_);
  // The expansion stops just past R, so a hostile stream cannot grow it.
  std::vector<uint8_t>& expanded = expanded_;
  try {
    codec_.LzssExpand(compressed_.data(), static_cast<size_t>(n), r, expanded);
  } catch (const std::bad_alloc&) {
    return;
  }
  // Anything but a whole block is dropped without an answer.
  if (expanded.size() != r) return;
  if (code_ == StationMessage::PackedBlock) {
    if (!UnpackSampleBlock(block_, expanded, numChn_, analogColumns_, numSamp_, gray_)) return;
  } else {
    std::memcpy(block_.data(), expanded.data(), r);
  }
  Accept();
}

void ViewerReceiver::Accept() {
  const auto* bytes = reinterpret_cast<const uint8_t*>(block_.data());
  const auto size = static_cast<size_t>(blockBytes_);
  host_.SendBlockAck(bytes, kBlockAckBytes);
  host_.AcceptBlock(bytes, size);
}

}  // namespace quelvar
