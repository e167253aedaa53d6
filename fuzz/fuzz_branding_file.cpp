// The branding file of the idle screen.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "FuzzSupport.h"
#include "shell/BrandingFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quelvar;
  static fuzz::ScratchFile file("OEM.def");
  if (!ReadBrandingFile(file.Write(data, size))) std::abort();
  return 0;
}
