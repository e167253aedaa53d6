#include "auxwin/CompositeFile.h"

#include <algorithm>
#include <cstring>

#include "platform/AtomicFile.h"
#include "platform/ReadOnlyFile.h"

namespace quelvar {

namespace {

constexpr char kMagic[4] = {'C', 'P', 'D', 'F'};
constexpr int64_t kHeaderBytes = 20;
constexpr int64_t kItemBytes = sizeof(CompositeItem);

}  // namespace

bool ReadCompositeDef(CompositeDef& def, const std::string& path) {
  platform::ReadOnlyFile file;
  if (!file.Open(path)) return false;
  const auto size = static_cast<int64_t>(file.Size());
  if (size < kHeaderBytes) return false;
  char header[kHeaderBytes];
  if (!file.ReadAt(0, header, sizeof header)) return false;
  if (std::memcmp(header, kMagic, sizeof kMagic) != 0) return false;
  int32_t numbers[4];
  std::memcpy(numbers, header + 4, sizeof numbers);
  const int32_t stored = numbers[0];
  if (stored <= 0 || size < stored * kItemBytes + kHeaderBytes) return false;
  // Every item is computed for every shown block and edited in a grid
  // column of its own: items beyond what the editor holds are left out.
  const int32_t count = std::min(stored, kCompositeMaxEditorItems);

  std::vector<CompositeItem> items(static_cast<size_t>(count));
  if (!file.ReadAt(kHeaderBytes, items.data(), items.size() * sizeof(CompositeItem))) return false;
  for (CompositeItem& item : items) SanitizeCompositeItem(item);
  def.Count = count;
  def.Columns = std::max(numbers[1], 1);
  def.FontSize = std::clamp(numbers[2], kCompositeMinFontSize, kCompositeMaxFontSize);
  def.Chars = numbers[3] < 1 ? 7 : std::min(numbers[3], kCompositeMaxChars);
  def.Items = std::move(items);
  return true;
}

std::string CompositeDefBytes(const CompositeDef& def) {
  const int32_t count = std::clamp(def.Count, 0, static_cast<int32_t>(def.Items.size()));
  const int32_t numbers[4] = {count, def.Columns, def.FontSize, def.Chars};
  std::string data(kMagic, sizeof kMagic);
  data.append(reinterpret_cast<const char*>(numbers), sizeof numbers);
  data.append(reinterpret_cast<const char*>(def.Items.data()), static_cast<size_t>(count) * sizeof(CompositeItem));
  return data;
}

bool WriteCompositeDef(const CompositeDef& def, const std::string& path, std::string& error) {
  return platform::WriteUserFileAtomically(path, CompositeDefBytes(def), error);
}

}  // namespace quelvar
