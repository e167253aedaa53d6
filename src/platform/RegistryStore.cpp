#include "platform/RegistryStore.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace quelvar::platform {

namespace {

constexpr std::size_t kDoubleSize = 8;

template <typename T>
std::optional<T> As(std::optional<RegistryValue> value) {
  if (!value) return std::nullopt;
  if (T* typed = std::get_if<T>(&*value)) return std::move(*typed);
  return std::nullopt;
}

}  // namespace

bool RegistryStore::EndUpdate() {
  if (batchDepth_ == 0) return false;
  if (--batchDepth_ > 0) return true;
  return Flush();
}

std::vector<std::string> RegistryStore::TakeProblems() { return std::exchange(problems_, {}); }

void RegistryStore::AddProblem(std::string message) {
  if (std::find(problems_.begin(), problems_.end(), message) == problems_.end()) {
    problems_.push_back(std::move(message));
  }
}

std::optional<std::int32_t> RegistryStore::ReadInt32(std::string_view key, std::string_view name) {
  const auto dword = As<std::uint32_t>(ReadValue(key, name));
  if (!dword) return std::nullopt;
  return static_cast<std::int32_t>(*dword);
}

std::optional<double> RegistryStore::ReadDouble(std::string_view key, std::string_view name) {
  const auto bytes = ReadBinary(key, name, kDoubleSize);
  if (!bytes) return std::nullopt;
  std::uint64_t bits = 0;
  for (std::size_t i = 0; i < kDoubleSize; ++i) bits |= std::uint64_t{(*bytes)[i]} << (8 * i);
  return std::bit_cast<double>(bits);
}

std::optional<std::string> RegistryStore::ReadString(std::string_view key, std::string_view name) {
  return As<std::string>(ReadValue(key, name));
}

std::optional<RegistryBytes> RegistryStore::ReadBinary(std::string_view key, std::string_view name,
                                                       std::size_t size) {
  auto bytes = ReadBinary(key, name);
  if (!bytes || bytes->size() != size) return std::nullopt;
  return bytes;
}

std::optional<RegistryBytes> RegistryStore::ReadBinary(std::string_view key, std::string_view name) {
  return As<RegistryBytes>(ReadValue(key, name));
}

bool RegistryStore::WriteInt32(std::string_view key, std::string_view name, std::int32_t value) {
  return WriteValue(key, name, RegistryValue(std::in_place_index<0>, static_cast<std::uint32_t>(value)));
}

bool RegistryStore::WriteDouble(std::string_view key, std::string_view name, double value) {
  const auto bits = std::bit_cast<std::uint64_t>(value);
  RegistryBytes bytes(kDoubleSize);
  for (std::size_t i = 0; i < kDoubleSize; ++i) bytes[i] = static_cast<std::uint8_t>(bits >> (8 * i));
  return WriteValue(key, name, RegistryValue(std::move(bytes)));
}

bool RegistryStore::WriteString(std::string_view key, std::string_view name, std::string_view value) {
  return WriteValue(key, name, RegistryValue(std::string(value)));
}

bool RegistryStore::WriteBinary(std::string_view key, std::string_view name, std::span<const std::uint8_t> value) {
  return WriteValue(key, name, RegistryValue(RegistryBytes(value.begin(), value.end())));
}

}  // namespace quelvar::platform
