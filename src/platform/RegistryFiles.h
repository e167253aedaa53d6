#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quelvar::platform {

// The files FileRegistry keeps in "<dir>/SOFTWARE": "<Tree>.reg", its lock file
// "<Tree>.reg.lock", and damaged files set aside as "<Tree>.reg.bad", ".bad1", ...

std::filesystem::path TreeFilePath(const std::filesystem::path& softwareDir, std::string_view treeName);
std::filesystem::path TreeLockPath(const std::filesystem::path& softwareDir, std::string_view treeName);

// The tree name of the stored file for `treeName`, matched without regard to case (an
// exact match wins); nullopt when there is none.
std::optional<std::string> FindTreeFile(const std::filesystem::path& softwareDir, std::string_view treeName);

// The tree names of all stored files, in directory order.
std::vector<std::string> ListTreeFiles(const std::filesystem::path& softwareDir);

struct TreeFileText {
  enum class Status { Ok, Missing, TooLarge, Unreadable };
  Status status = Status::Missing;
  std::string text;
  std::string error;  // why it is Unreadable
};

// Reads a regular file of at most `limit` bytes; never blocks on a FIFO or device.
TreeFileText ReadTreeFile(const std::filesystem::path& file, std::size_t limit);

// Renames a damaged file to the first free name of "<file>.bad", "<file>.bad1", ...
// "<file>.bad99"; nullopt with `error` set when that failed.
std::optional<std::filesystem::path> SetAside(const std::filesystem::path& file, std::string& error);

}  // namespace quelvar::platform
