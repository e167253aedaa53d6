#pragma once

#include <functional>

#include "acquisition/ChannelLayout.h"
#include "acquisition/RecordCompletion.h"
#include "common/AppState.h"
#include "shell/FormMain.h"

namespace quelvar::test {

// A finished record of `analog` analog channels (no switch inputs) at 1000
// rows a second shown as history: `blocks` blocks of `numSamp` rows, word w of
// row r from `word`, the trigger at row 5 of block 1.
inline void ShowFourChannelRecord(AppState& state, TFormMain& form, int32_t blocks, int32_t numSamp,
                                  const std::function<uint16_t(int32_t, int32_t)>& word, int32_t analog = 4) {
  LiveConfig& c = state.config;
  c.Analog_Num = analog;
  c.SW_Num = 0;
  c.NumSamp = numSamp;
  c.ChannelRate = 1000.0f;
  ComputeChannelLayout(c, state.layout, 0, true, {});
  HistoryRecord& h = state.history;
  h.NumChn = c.NumChn;
  h.NumSamp = numSamp;
  h.BlockCount = blocks;
  h.AnalogCount = c.Analog_Num;
  h.SwitchCount = 0;
  h.LineCount = c.Total_Line;
  h.FrqSamp = 1000.0f;
  h.TriggerBlock = blocks > 1 ? 1 : 0;
  h.TriggerOffset = 5;
  h.Comment = "record";
  h.Samples.assign(static_cast<size_t>(blocks) * numSamp * c.NumChn + 1, 0);
  for (int32_t r = 0; r < blocks * numSamp; ++r) {
    for (int32_t w = 0; w < c.NumChn; ++w) h.Samples[static_cast<size_t>(r) * c.NumChn + w] = word(r, w);
  }
  h.Valid = 1;
  PointDisplayAtHistory(state);
  form.menuSelectFault->setChecked(true);
  form.RebuildDisplayLayout();
}

}  // namespace quelvar::test
