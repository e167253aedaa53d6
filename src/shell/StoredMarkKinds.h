#pragma once

#include "common/WaveViewState.h"
#include "platform/RegistryKey.h"
#include "shell/RegistryReader.h"

namespace quelvar {

// The marks' value kinds and their parameters in the "\Quelvar" key, read
// into and written from the main window's view state under their own names.
// A value that is missing takes the view state's default; the point counts
// of mark 2 are at least 2.
void LoadMarkKinds(const RegistryReader& r, WaveViewState& wave);
void SaveMarkKinds(platform::RegistryKey& k, const WaveViewState& wave);

}  // namespace quelvar
