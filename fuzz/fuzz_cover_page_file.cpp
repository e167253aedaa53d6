// The cover page's text file: cut into printed lines of at most 127 bytes,
// none of them splitting a double-byte character, nothing read past the end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/GbkText.h"
#include "view/CoverPage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quelvar;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> lines = CoverPageLines(bytes);
  if (lines.size() > size) std::abort();
  for (const std::string& line : lines) {
    // Back in GBK a line never exceeds the piece limit (a bad byte comes
    // back as one '?', never as more bytes than it took).
    if (platform::Utf8ToGbk(line).size() > 127) std::abort();
  }
  return 0;
}
