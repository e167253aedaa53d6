// The universal page's ".vpc" file: what reads must hold the counts it
// announced within the channel tables, and write back to a file that reads
// the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "FuzzSupport.h"
#include "auxwin/PageFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quelvar;
  static fuzz::ScratchFile file("page.vpc");
  const PageFileResult read = ReadPageFile(file.Write(data, size));
  if (read.Status != PageFileStatus::Ok) return 0;
  if (read.Page.Analog.size() > 100 || read.Page.Switches.size() > 192) std::abort();
  const std::string text = PageFileText(read.Page);
  const PageFileResult again =
      ReadPageFile(file.Write(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
  if (again.Status != PageFileStatus::Ok || again.Page.Analog != read.Page.Analog ||
      again.Page.Switches != read.Page.Switches) {
    std::abort();
  }
  return 0;
}
