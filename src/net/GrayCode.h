#pragma once

#include "common/GrayTables.h"

namespace quelvar {

// Built once at start-up, before anything is encoded.
void InitGrayTables(GrayTables& tables);

}  // namespace quelvar
