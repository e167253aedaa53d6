#pragma once

#include <optional>
#include <string>

namespace quelvar {

// "OEM.def": three text lines: the logo picture's path, the large and the
// small text of the idle screen.
struct Branding {
  std::string LogoFile;
  std::string LargeText;
  std::string SmallText;
};

// Reads the file when it exists; a missing line is empty, each line is cut
// to 254 characters and loses its line break. Nothing when it cannot be read.
std::optional<Branding> ReadBrandingFile(const std::string& path);

}  // namespace quelvar
