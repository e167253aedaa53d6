#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace simcard {

// Writes `text` into a buffer of `size` bytes: at most size - 1 bytes and a
// NUL. With `noNul` (a forced fault) all `size` bytes are filled, the text
// padded with '_', and no NUL is written.
void WriteFixedText(char* buffer, size_t size, std::string_view text, bool noNul);

// The card's limits, read from the environment at each call.
void ConfigInfo(char* cardName16, int32_t* maxChannels, int32_t* scratch1, int32_t* scratch2,
                int32_t* minBlockSamples, float* vZero, float* adMax, int32_t* maxSwitchInputs);

// The property text is fixed by the size call, so the text call writes
// exactly the length + 1 bytes the caller was told about.
int32_t PropertyTextSize();
int32_t PropertyText(char* text);

int32_t SettingName(char* text64);

}  // namespace simcard
