// The PCI card locator the port I/O panel falls back without: it "finds"
// the cards listed in SIMCARD_PCI_CARDS and gives each a base address.

#include <cstdlib>
#include <string>
#include <vector>

#include "Env.h"
#include "Export.h"
#include "platform/PciLocatorAbi.h"

namespace {

// Most card numbers the simulated locator reports.
constexpr size_t kMaxCards = 64;

// Card numbers, comma-separated; an item that is no number in 0..65535 is
// passed over. Unset: one card, number 0.
std::vector<uint16_t> Cards() {
  const std::string list = simcard::EnvText("SIMCARD_PCI_CARDS", "0");
  std::vector<uint16_t> cards;
  size_t at = 0;
  while (at <= list.size() && cards.size() < kMaxCards) {
    size_t end = list.find(',', at);
    if (end == std::string::npos) end = list.size();
    const std::string item = list.substr(at, end - at);
    char* rest = nullptr;
    const long value = std::strtol(item.c_str(), &rest, 10);
    if (!item.empty() && rest != nullptr && *rest == '\0' && value >= 0 && value <= 0xFFFF) {
      cards.push_back(static_cast<uint16_t>(value));
    }
    at = end + 1;
  }
  return cards;
}

}  // namespace

SIMCARD_EXPORT int32_t FinPCICard(uint16_t* cardNumbers) {
  const std::vector<uint16_t> cards = Cards();
  if (cardNumbers != nullptr) {
    for (size_t i = 0; i < cards.size(); ++i) cardNumbers[i] = cards[i];
  }
  return static_cast<int32_t>(cards.size());
}
SIMCARD_CHECK_TYPE(FinPCICard, PciFindCardsFn);

#ifndef SIMCARD_OMIT_GetIOBaseByCardNo
// A listed card's base address is 0xC000 + 0x40 x its number (modulo
// 65536): 1; an unlisted card leaves the outputs alone: 0.
SIMCARD_EXPORT int32_t GetIOBaseByCardNo(uint32_t cardNo, uint16_t* ioBase, uint16_t* second) {
  for (uint16_t card : Cards()) {
    if (card != (cardNo & 0xFFFFu)) continue;
    if (ioBase != nullptr) *ioBase = static_cast<uint16_t>(0xC000u + 0x40u * card);
    if (second != nullptr) *second = 0;
    return 1;
  }
  return 0;
}
SIMCARD_CHECK_TYPE(GetIOBaseByCardNo, PciGetIOBaseFn);
#endif
