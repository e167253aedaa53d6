#pragma once

#include "common/MainViewSettings.h"
#include "common/ViewOptions.h"

namespace quelvar {

// The view options the settings tree keeps, in their stored form (1 =
// checked). Both directions walk one field list. Options it does not keep
// (scale outside, one axis for all rows, stay on top, the switch view) are
// left as they are.
void ApplyStoredViewOptions(const MainViewSettings& stored, ViewOptions& options);
void StoreViewOptions(const ViewOptions& options, MainViewSettings& stored);

}  // namespace quelvar
