// The settings tree's text as a tree file holds it. Text that parses must
// come back unchanged through a write and a second read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/RegFileFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quelvar::platform;
  constexpr std::string_view kTree = "QuelvarTorque";
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  RegistryNode root;
  std::string error;
  if (!ParseRegFile(text, kTree, root, error)) {
    if (error.empty()) std::abort();
    return 0;
  }
  const std::string written = FormatRegFile(kTree, root);
  RegistryNode again;
  if (!ParseRegFile(written, kTree, again, error)) std::abort();
  if (FormatRegFile(kTree, again) != written) std::abort();
  return 0;
}
