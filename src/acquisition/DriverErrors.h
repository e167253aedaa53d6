#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/AdDriver.h"

namespace quelvar {

// The reason text of a driver error code; undefined codes give
// "未定义的错误类型".
std::string DriverErrorText(int32_t code);

enum class PropTextStatus { Ok, NoEntries, CannotAllocate };

struct PropText {
  PropTextStatus status = PropTextStatus::NoEntries;
  std::string text;  // UTF-8
};

// The card's property text from the driver's two property entries.
PropText ReadADPropText(const AdDriver& driver);

}  // namespace quelvar
