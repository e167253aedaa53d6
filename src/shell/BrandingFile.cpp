#include "shell/BrandingFile.h"

#include <fstream>

#include "platform/GbkText.h"

namespace quelvar {

namespace {

constexpr size_t kMaxLineBytes = 254;

std::string NextLine(std::istream& in) {
  std::string line;
  if (!std::getline(in, line)) return {};
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line.size() > kMaxLineBytes) line.resize(kMaxLineBytes);
  // The file is GBK text; a cut inside a character shows as a replacement.
  return platform::GbkToUtf8(line);
}

}  // namespace

std::optional<Branding> ReadBrandingFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  Branding b;
  b.LogoFile = NextLine(in);
  b.LargeText = NextLine(in);
  b.SmallText = NextLine(in);
  return b;
}

}  // namespace quelvar
