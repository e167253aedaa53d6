#pragma once

#include "common/LiveConfig.h"

namespace quelvar::bench {

// The full-size station the benchmarks measure: 100 analog channels and 192
// switch inputs (112 words a row), 1000 rows a block at 10 kHz.
inline void SetFullSizeConfig(LiveConfig& c) {
  c.Analog_Num = 100;
  c.Total_Line = 100;
  for (auto& line : c.LineTable) line.APhaseNum = 1;
  c.SW_Num = 192;
  c.NumSamp = 1000;
  c.MaxBlock = 200;
  c.ChannelRate = 10000.0f;
}

}  // namespace quelvar::bench
