#pragma once

#include <cstdint>

#include "common/DisplayData.h"
#include "common/SampleLayout.h"
#include "common/WaveViewState.h"

namespace quelvar {

// How every view, measurement and export reads the display data. The matrix
// is a ring of DispBlocks blocks of NumSamp rows whose display row 0 is row 0
// of DispFirstBlock; a display point counts at the fastest channel's rate.
// Products of block numbers, rows and rates are taken in 64 bits.

// Matrix row of display row `displayRow` + DispFirstBlock x NumSamp: wrapped
// into 0 .. dispRows - 1 by adding or subtracting dispRows once. A row more
// than one turn away (only from an inconsistent descriptor) is reduced fully,
// so the result always names a row of the matrix; -1 when it has no rows.
int32_t WrapDisplayRow(int64_t row, int32_t dispRows);

// Matrix row of display point `point` of a single-rate configuration.
int32_t RowOfPoint(const DisplayDescriptor& display, int32_t numSamp, int64_t point);

// Sub-sample of a channel with rate multiplier `rate` that display point
// `point` stands for: point x rate / maxMultiFreq. Rounded down, so that the
// points before the first one (a screen wider than the data) keep counting
// back through the ring instead of folding onto sub-sample 0.
int64_t SubSampleOfPoint(int64_t point, int32_t rate, int32_t maxMultiFreq);

// Where a sample lies in the matrix; row and word are -1 when it lies nowhere
// (a channel outside the row, an empty matrix).
struct SampleWord {
  int32_t row = -1;
  int32_t word = -1;
  bool Valid() const { return row >= 0 && word >= 0; }
};

// Sub-sample `subSample` of virtual channel `channel` (an analog channel, or
// a switch word Analog_Num + s / 16): row subSample / r of the ring, word
// `channel` for the base sample and ExtraSlotFirst[channel] + k - 1 for extra
// sub-sample k. Only words inside the descriptor's rows are ever named.
SampleWord LocateSubSample(const DisplayDescriptor& display, const SampleLayout& layout, int32_t numSamp,
                           int32_t channel, int64_t subSample);

// The sample of `channel` that display point `point` shows.
SampleWord LocatePoint(const DisplayDescriptor& display, const SampleLayout& layout, int32_t numSamp,
                       int32_t channel, int64_t point);

// The word at `at`; false (value untouched) when the matrix is absent or the
// place lies outside it.
bool ReadDisplayWord(const DisplayDescriptor& display, SampleWord at, uint16_t& value);

// Switch input s is bit s mod 16 of word Analog_Num + s / 16; 1 means high.
struct SwitchBit {
  int32_t word = 0;
  int32_t bit = 0;
};
SwitchBit SwitchBitOf(int32_t analogNum, int32_t switchInput);
bool SwitchIsHigh(uint16_t word, int32_t bit);

// Volts of a raw analog word: (w - VZero) / (ADMax - VZero) x 5. A card
// description whose full scale equals its zero has no scale: 0 V.
double VoltsOfWord(uint16_t word, float vZero, float adMax);

// The time origin (the trigger) in display points: DispTriggerPoint plus the
// block offset from DispFirstBlock at NumSamp x MaxMultiFreq points a block,
// plus DispPoints when negative. Only the block offset is scaled. Like the
// two below, it stays within +-2^53 points whatever the descriptor holds.
int64_t TimeOriginPoint(const DisplayDescriptor& display, int32_t numSamp, int32_t maxMultiFreq);

// First display point of the compressed part: the block offset of
// DispCompressStart in points, or DispPoints when that is 0.
int64_t CompressedStartPoint(const DisplayDescriptor& display, int32_t numSamp, int32_t maxMultiFreq);

// Sample position display point `point` stands for: itself, or inside a
// compressed part the middle of the DispCompressRatio samples its row
// represents (C + (p - C) x ratio + ratio / 2). A ratio below 1 counts as 1.
int64_t SamplePositionOfPoint(const DisplayDescriptor& display, int64_t compressedStart, int64_t point);

// Milliseconds from the time origin to a sample position at the fastest
// channel's rate; 0 while no rate is known (not positive).
double TimeMsOfPosition(int64_t position, int64_t timeOrigin, float maxChannelRate);

// After a repaint: stores (XPosition, DisplayWidth) as the newest pair of the
// 40-pair ring unless it equals the newest stored pair, and advances
// ViewHistoryIndex by 2 (78 -> 0). An index that is odd or outside 0..78
// (a damaged setting) is first brought back into the ring.
void RecordViewHistory(WaveViewState& view);

// At start every one of the 40 pairs is the start window (XPosition,
// DisplayWidth) and ViewHistoryIndex is 0: the first repaint of that window
// adds no pair, and every older pair is that window.
void FillViewHistory(WaveViewState& view);

}  // namespace quelvar
