#pragma once

#include <memory>
#include <string>

#include "shell/ConfigRecord.h"

namespace quelvar {

// A configuration file: the four bytes "QCfg" and one configuration record.
inline constexpr size_t kConfigFileSize = 4 + sizeof(ConfigRecord);
static_assert(kConfigFileSize == 40732);

enum class ConfigFileStatus { Ok, CannotOpen, WrongSize, BadMagic };

struct ConfigFileContent {
  ConfigFileStatus status = ConfigFileStatus::CannotOpen;
  std::unique_ptr<ConfigRecord> record;  // set when the status is Ok
};

// Reads a configuration file; only a regular file of exactly the right size
// with the right magic gives a record. The record is not validated here.
ConfigFileContent ReadConfigFile(const std::string& path);

// Writes the file whole or not at all; false with `error` set on failure.
bool WriteConfigFile(const std::string& path, const ConfigRecord& record, std::string& error);

}  // namespace quelvar
