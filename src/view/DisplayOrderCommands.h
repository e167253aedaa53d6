#pragma once

#include "common/DisplayData.h"
#include "common/LiveConfig.h"

namespace quelvar::platform {
class UiHost;
}

namespace quelvar {

// "读显示顺序文件": the user picks a display-order file; a good one replaces
// GridOrder (made a permutation for the channels when data are on display,
// else left for the next layout rebuild), a bad one is refused with its
// message and changes nothing. True when GridOrder was replaced.
bool LoadDisplayOrderCommand(platform::UiHost& ui, LiveConfig& config, const DisplayDescriptor& display);

// "存显示顺序文件": writes GridOrder to the file the user names.
void SaveDisplayOrderCommand(platform::UiHost& ui, const LiveConfig& config);

}  // namespace quelvar
