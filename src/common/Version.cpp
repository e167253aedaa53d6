#include "common/Version.h"

namespace quelvar {

std::string VersionText() {
  return std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor);
}

}  // namespace quelvar
