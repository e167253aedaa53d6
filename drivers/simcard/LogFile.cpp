#include "LogFile.h"

#include <cstdio>
#include <cstdlib>

namespace simcard {

void AppendLogLine(const char* envName, std::string_view line) {
  const char* path = std::getenv(envName);
  if (path == nullptr || *path == '\0') return;
  std::FILE* file = std::fopen(path, "a");
  if (file == nullptr) return;
  std::fwrite(line.data(), 1, line.size(), file);
  std::fputc('\n', file);
  std::fclose(file);
}

std::string HexBytes(const uint8_t* bytes, size_t count) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < count; ++i) {
    if (i > 0) out += ' ';
    out += kDigits[bytes[i] >> 4];
    out += kDigits[bytes[i] & 0xF];
  }
  return out;
}

}  // namespace simcard
