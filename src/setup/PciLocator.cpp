#include "setup/PciLocator.h"

#include <algorithm>
#include <array>

namespace quelvar {

bool PciLocator::Load(std::string_view name) {
  Free();
  if (!library_.Load(name)) return false;
  findCards_ = library_.Entry<PciFindCardsFn>("_FinPCICard@4");
  getIOBase_ = library_.Entry<PciGetIOBaseFn>("_GetIOBaseByCardNo@12");
  int32_t count = 0;
  std::array<uint16_t, kPciLocatorRoom> numbers{};
  if (findCards_ != nullptr && getIOBase_ != nullptr) count = findCards_(numbers.data());
  if (count <= 0) {
    Free();
    return false;
  }
  cards_.assign(numbers.begin(), numbers.begin() + std::min(count, kPciCardListSize));
  return true;
}

void PciLocator::Free() {
  library_.Free();
  findCards_ = nullptr;
  getIOBase_ = nullptr;
  cards_.clear();
}

uint16_t PciLocator::IOBaseOf(uint16_t cardNo) const {
  if (!Usable()) return 0;
  uint16_t base = 0;
  uint16_t second = 0;
  getIOBase_(cardNo, &base, &second);
  return base;
}

}  // namespace quelvar
