// The composite panel's ".cpd" file: what reads holds as many items as it
// announced, with known codes and in-range header numbers, and writes back
// to bytes that read the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "FuzzSupport.h"
#include "auxwin/CompositeFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quelvar;
  static fuzz::ScratchFile file("def.cpd");
  CompositeDef def;
  if (!ReadCompositeDef(def, file.Write(data, size))) return 0;
  if (def.Count <= 0 || def.Items.size() != static_cast<size_t>(def.Count)) std::abort();
  if (def.Columns < 1 || def.FontSize < kCompositeMinFontSize || def.FontSize > kCompositeMaxFontSize ||
      def.Chars < 1 || def.Chars > kCompositeMaxChars) {
    std::abort();
  }
  for (const CompositeItem& item : def.Items) {
    if (item.Kind < 0 || item.Kind > 3 || item.Alarm < 0 || item.Alarm > 4 || item.Decimals < 0 ||
        item.Decimals > kCompositeMaxDecimals || item.Name[15] != '\0') {
      std::abort();
    }
  }
  const std::string bytes = CompositeDefBytes(def);
  CompositeDef again;
  if (!ReadCompositeDef(again, file.Write(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())) ||
      again.Count != def.Count || again.Columns != def.Columns || again.FontSize != def.FontSize ||
      again.Chars != def.Chars ||
      std::memcmp(again.Items.data(), def.Items.data(), def.Items.size() * sizeof(CompositeItem)) != 0) {
    std::abort();
  }
  return 0;
}
