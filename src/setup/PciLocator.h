#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/DynamicLibrary.h"
#include "platform/PciLocatorAbi.h"

namespace quelvar {

// The panel lists at most this many cards.
inline constexpr int kPciCardListSize = 10;
// Room given to the locator for its card numbers: far more than the list
// shows, so a locator that finds more cards than that writes into our
// buffer, not past it.
inline constexpr int kPciLocatorRoom = 256;

// The optional PCI card locator library ("Vostrani.DLL"): finds the AD
// card maker's PCI cards and their I/O base addresses. Usable only when it
// loads, has both entries and finds a card; otherwise it is freed and the
// panel does without it.
class PciLocator {
 public:
  bool Load(std::string_view name = "Vostrani.DLL");
  void Free();
  bool Usable() const { return library_.IsLoaded(); }

  // The card numbers found, at most kPciCardListSize.
  const std::vector<uint16_t>& CardNumbers() const { return cards_; }
  // The card's I/O base address as the locator gives it (0 when unusable).
  uint16_t IOBaseOf(uint16_t cardNo) const;

 private:
  platform::DynamicLibrary library_;
  PciFindCardsFn findCards_ = nullptr;
  PciGetIOBaseFn getIOBase_ = nullptr;
  std::vector<uint16_t> cards_;
};

}  // namespace quelvar
