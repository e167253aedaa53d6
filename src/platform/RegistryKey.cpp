#include "platform/RegistryKey.h"

namespace quelvar::platform {

RegistryKey::RegistryKey(RegistryStore& store, std::string path) : store_(&store), path_(std::move(path)) {
  // Like opening with create: the key shows up in the file even before it holds values.
  store_->CreateKey(path_);
}

std::optional<std::int32_t> RegistryKey::ReadInteger(std::string_view name) const {
  return store_->ReadInt32(path_, name);
}

std::optional<double> RegistryKey::ReadDouble(std::string_view name) const { return store_->ReadDouble(path_, name); }

std::optional<std::string> RegistryKey::ReadString(std::string_view name) const {
  return store_->ReadString(path_, name);
}

std::optional<RegistryBytes> RegistryKey::ReadBinary(std::string_view name, std::size_t size) const {
  return store_->ReadBinary(path_, name, size);
}

std::optional<RegistryBytes> RegistryKey::ReadBinary(std::string_view name) const {
  return store_->ReadBinary(path_, name);
}

bool RegistryKey::WriteInteger(std::string_view name, std::int32_t value) {
  return store_->WriteInt32(path_, name, value);
}

bool RegistryKey::WriteDouble(std::string_view name, double value) { return store_->WriteDouble(path_, name, value); }

bool RegistryKey::WriteString(std::string_view name, std::string_view value) {
  return store_->WriteString(path_, name, value);
}

bool RegistryKey::WriteBinary(std::string_view name, std::span<const std::uint8_t> value) {
  return store_->WriteBinary(path_, name, value);
}

}  // namespace quelvar::platform
