#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegistryValue.h"

namespace quelvar::platform {

// The settings store the program keeps under HKEY_LOCAL_MACHINE. Key paths look like
// "\SOFTWARE\QuelvarTorque\Color". Values live only in application trees, i.e. at or below
// "\SOFTWARE\<App>"; "\SOFTWARE" itself lists the trees and holds no values, and nothing
// exists outside it. Reads that fail (missing value, other type, other size) give nullopt
// so the caller takes its own default.
//
// A change outside a batch is saved at once and its call returns false when that save
// fails (the change stays in memory and is saved again later). Not thread-safe.
class RegistryStore {
 public:
  virtual ~RegistryStore() = default;

  // Creates the key and all its parents; true when it exists afterwards and is saved.
  virtual bool CreateKey(std::string_view key) = 0;
  virtual bool KeyExists(std::string_view key) = 0;
  // Deletes the key with everything below it; deleting "\SOFTWARE\<App>" drops the tree.
  virtual bool DeleteKey(std::string_view key) = 0;
  // Subkeys in case-insensitive order; values in the order of their first write.
  virtual std::vector<std::string> SubkeyNames(std::string_view key) = 0;
  virtual std::vector<std::string> ValueNames(std::string_view key) = 0;
  virtual bool DeleteValue(std::string_view key, std::string_view name) = 0;

  virtual std::optional<RegistryValue> ReadValue(std::string_view key, std::string_view name) = 0;
  // Creates the key when missing; a value of another type under this name is replaced.
  virtual bool WriteValue(std::string_view key, std::string_view name, RegistryValue value) = 0;

  // Saves every changed tree now; false when any save failed.
  virtual bool Flush() = 0;

  // Between the first BeginUpdate and its matching EndUpdate changes are only kept in
  // memory; the outermost EndUpdate saves them and returns whether that worked. An
  // EndUpdate without its BeginUpdate does nothing and returns false.
  void BeginUpdate() { ++batchDepth_; }
  bool EndUpdate();

  // Messages about damaged files and failed saves, for the run log; taking clears them.
  std::vector<std::string> TakeProblems();

  std::optional<std::int32_t> ReadInt32(std::string_view key, std::string_view name);
  std::optional<double> ReadDouble(std::string_view key, std::string_view name);
  std::optional<std::string> ReadString(std::string_view key, std::string_view name);
  // A binary of exactly `size` bytes.
  std::optional<RegistryBytes> ReadBinary(std::string_view key, std::string_view name, std::size_t size);
  // A binary of any size.
  std::optional<RegistryBytes> ReadBinary(std::string_view key, std::string_view name);

  bool WriteInt32(std::string_view key, std::string_view name, std::int32_t value);
  bool WriteDouble(std::string_view key, std::string_view name, double value);
  bool WriteString(std::string_view key, std::string_view name, std::string_view value);
  bool WriteBinary(std::string_view key, std::string_view name, std::span<const std::uint8_t> value);

 protected:
  bool InBatch() const { return batchDepth_ > 0; }
  // Skips a message that is already waiting, so a repeating failure is logged once.
  void AddProblem(std::string message);

 private:
  int batchDepth_ = 0;
  std::vector<std::string> problems_;
};

// Holds a batch open for its lifetime.
class RegistryBatch {
 public:
  explicit RegistryBatch(RegistryStore& store) : store_(store) { store_.BeginUpdate(); }
  ~RegistryBatch() { store_.EndUpdate(); }
  RegistryBatch(const RegistryBatch&) = delete;
  RegistryBatch& operator=(const RegistryBatch&) = delete;

 private:
  RegistryStore& store_;
};

}  // namespace quelvar::platform
