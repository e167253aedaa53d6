#include "net/GrayCode.h"

namespace quelvar {

void InitGrayTables(GrayTables& t) {
  for (unsigned i = 0; i < 256; ++i) {
    const auto gray = static_cast<uint8_t>(i ^ (i >> 1));
    t.ToGray[i] = gray;
    t.FromGray[gray] = static_cast<uint8_t>(i);
  }
}

}  // namespace quelvar
