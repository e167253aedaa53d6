#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/AdDriver.h"
#include "common/LiveConfig.h"
#include "platform/UiHost.h"

namespace quelvar {

// The texts of the channel-group dialog's edits. The frequency and the
// temperature are shown rounded: without a text (the edit still holds what the
// opener put there) the live value stays as it is.
struct ChannelGroupFields {
  std::string TotalPages;
  std::string Analog;
  std::string Binary;
  std::optional<std::string> ACFrq;
  std::optional<std::string> EnvTemp;
};

// Why a channel dialog refused to go on, with the message box's text, caption
// and buttons; empty when accepted.
struct ChannelGroupRefusal {
  std::string text;
  std::string caption;
  platform::MsgButtons buttons = platform::MsgButtons::OkCancel;
  bool refused() const { return !text.empty(); }
};

// Labels of the edits, which name them in a refusal.
inline constexpr const char* kTotalPagesLabel = "图形分页数";
inline constexpr const char* kAnalogCountLabel = "模拟通道数";
inline constexpr const char* kSwitchCountLabel = "开关量个数";

// The refusal of a field that must hold a whole number.
ChannelGroupRefusal NotAnIntegerRefusal(std::string_view field, std::string_view text);

// The page count as the dialog reads it: 0 or less gives 1, more than the
// page tables hold gives their capacity; nothing for a text that is not a
// whole number.
std::optional<int32_t> TotalPagesFromText(std::string_view text);

// The dialog's OK: checks every field and the layout against the card (and a
// sample row the card can take: at most kMaxRowWords words), and only when
// all pass writes the counts the driver and the recorder need. A refusal
// leaves `live` as it was.
ChannelGroupRefusal ApplyChannelGroupFields(const ChannelGroupFields& fields, const DriverState& driver,
                                            LiveConfig& live);

// The samples-per-cycle read-out for the AC frequency edit's text (50 Hz for
// a text that is not a number): the channel rate over the whole hertz, at
// least 1. Below 1 Hz, where the whole hertz are 0, it shows what the
// frequency OK would store gives.
int32_t SampPerPeriodFromText(float channelRate, std::string_view acFrqText);

// The environment temperature edit's hint: at -100 or below, the temperature
// is taken from analog channel -t - 100, named when it exists.
std::string EnvTempHint(std::string_view envTempText, const LiveConfig& live);

// Whether the analog channel dialog shows and stores rate multipliers: with
// the card's own settings when the driver can set them; with a temporary
// configuration when it has multi-rate channels.
int32_t MultiFreqModeOf(int32_t tempConfigActive, bool driverSetsMultiFreq, int32_t maxMultiFreq);

}  // namespace quelvar
