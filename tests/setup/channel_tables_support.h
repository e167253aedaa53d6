#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <map>
#include <string>

#include "common/LiveConfig.h"
#include "platform/RegistryStore.h"

namespace quelvar::testing_support {

inline uint32_t Bits(float v) { return std::bit_cast<uint32_t>(v); }

// Every value the channel dialogs may write, compared exactly (floats by
// their bits).
inline void ExpectSameChannelSettings(const LiveConfig& a, const LiveConfig& b) {
  EXPECT_EQ(Bits(a.ACFrq), Bits(b.ACFrq));
  EXPECT_EQ(Bits(a.EnvTemp), Bits(b.EnvTemp));
  EXPECT_EQ(a.TotalPages, b.TotalPages);
  EXPECT_EQ(a.SW_Num, b.SW_Num);
  EXPECT_EQ(a.NumVChn, b.NumVChn);
  EXPECT_EQ(a.NumChn, b.NumChn);
  EXPECT_EQ(a.BegChn, b.BegChn);
  EXPECT_EQ(a.Total_Line, b.Total_Line);
  EXPECT_EQ(a.Analog_Num, b.Analog_Num);
  for (int j = 0; j < kMaxLines; ++j) {
    const AnalConfig &x = a.LineTable[j], &y = b.LineTable[j];
    EXPECT_EQ(x.AName, y.AName) << "line " << j;
    EXPECT_EQ(x.APhaseNum, y.APhaseNum) << "line " << j;
    EXPECT_EQ(x.GroupTag, y.GroupTag) << "line " << j;
  }
  for (int i = 0; i < kMaxAnalogChannels; ++i) {
    const AnalogChannel &x = a.AnalogChannelTable[i], &y = b.AnalogChannelTable[i];
    EXPECT_EQ(x.ChnName, y.ChnName) << "channel " << i;
    EXPECT_EQ(x.ChnUnits, y.ChnUnits) << "channel " << i;
    EXPECT_EQ(x.ChnGroupNo, y.ChnGroupNo) << "channel " << i;
    EXPECT_EQ(Bits(x.ChnCoeA), Bits(y.ChnCoeA)) << "channel " << i;
    EXPECT_EQ(Bits(x.ChnCoeB), Bits(y.ChnCoeB)) << "channel " << i;
    EXPECT_EQ(x.ChnIDDC, y.ChnIDDC) << "channel " << i;
    EXPECT_EQ(x.ChnPageNo, y.ChnPageNo) << "channel " << i;
    EXPECT_EQ(Bits(x.ChnPreAmp), Bits(y.ChnPreAmp)) << "channel " << i;
    EXPECT_EQ(x.ChnACompressType, y.ChnACompressType) << "channel " << i;
    EXPECT_EQ(x.ChnDigiPoint, y.ChnDigiPoint) << "channel " << i;
    EXPECT_EQ(x.ChnYWeight, y.ChnYWeight) << "channel " << i;
    EXPECT_EQ(x.ChnAxialZero, y.ChnAxialZero) << "channel " << i;
    EXPECT_EQ(x.MultiFreq, y.MultiFreq) << "channel " << i;
  }
  for (int k = 0; k < kMaxSwitchInputs; ++k) {
    const SwitchChannel &x = a.SwitchChannelTable[k], &y = b.SwitchChannelTable[k];
    EXPECT_EQ(x.SWName, y.SWName) << "switch " << k;
    EXPECT_EQ(x.SWStartID, y.SWStartID) << "switch " << k;
    EXPECT_EQ(x.SWPreRecordTime, y.SWPreRecordTime) << "switch " << k;
    EXPECT_EQ(x.SWRecordTime, y.SWRecordTime) << "switch " << k;
    EXPECT_EQ(x.SWCompressRecordTime, y.SWCompressRecordTime) << "switch " << k;
    EXPECT_EQ(x.SWPageNo, y.SWPageNo) << "switch " << k;
    EXPECT_EQ(x.SWBCompressType, y.SWBCompressType) << "switch " << k;
    EXPECT_EQ(x.SWYWeight, y.SWYWeight) << "switch " << k;
  }
}

// Every value below `key`, by its full path, so two states of a settings tree
// compare whole.
inline void DumpRegistryKey(platform::RegistryStore& store, const std::string& key,
                            std::map<std::string, platform::RegistryValue>& out) {
  for (const std::string& name : store.ValueNames(key)) {
    if (auto value = store.ReadValue(key, name)) out[key + "|" + name] = *value;
  }
  for (const std::string& sub : store.SubkeyNames(key)) DumpRegistryKey(store, key + "\\" + sub, out);
}

inline std::map<std::string, platform::RegistryValue> DumpRegistry(platform::RegistryStore& store,
                                                                   const std::string& key = "\\SOFTWARE") {
  std::map<std::string, platform::RegistryValue> out;
  DumpRegistryKey(store, key, out);
  return out;
}

}  // namespace quelvar::testing_support
