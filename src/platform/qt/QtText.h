#pragma once

#include <QString>

#include <string>

namespace quelvar {

// The program's UTF-8 texts as Qt strings, for the windows' captions and items.
inline QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace quelvar
