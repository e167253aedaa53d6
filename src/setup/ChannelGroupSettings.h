#pragma once

#include <cstdint>
#include <string>

#include "common/AdDriver.h"
#include "common/LiveConfig.h"

namespace quelvar {

// The texts of the channel-group dialog's edits.
struct ChannelGroupFields {
  std::string TotalPages;
  std::string Analog;
  std::string Binary;
  std::string ACFrq;
  std::string EnvTemp;
};

// Why the dialog refused to close, with the message box's text and caption;
// empty when the layout was accepted.
struct ChannelGroupRefusal {
  std::string text;
  std::string caption;
  bool refused() const { return !text.empty(); }
};

// The dialog's OK: checks the layout against the card and writes the counts
// the driver and the recorder need. Values written before a refusal stay
// written, as the dialog has always done.
ChannelGroupRefusal ApplyChannelGroupFields(const ChannelGroupFields& fields, const DriverState& driver,
                                            LiveConfig& live);

}  // namespace quelvar
