#include "platform/RegistryFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/RegistryNames.h"

namespace quelvar::platform {

namespace {

constexpr std::string_view kExtension = ".reg";
constexpr int kMaxAsideNumber = 99;

std::string ErrnoText(int err) { return std::strerror(err); }

// Calls `visit` with the tree name of every "*.reg" entry until it returns false.
template <typename Visit>
void ForEachTreeFile(const std::filesystem::path& softwareDir, Visit visit) {
  DIR* dir = ::opendir(softwareDir.c_str());
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    if (name.size() <= kExtension.size()) continue;
    const std::string_view stem = name.substr(0, name.size() - kExtension.size());
    if (!EqualsNoCase(name.substr(stem.size()), kExtension) || !IsValidTreeName(stem)) continue;
    if (!visit(stem)) break;
  }
  ::closedir(dir);
}

}  // namespace

std::filesystem::path TreeFilePath(const std::filesystem::path& softwareDir, std::string_view treeName) {
  return softwareDir / (std::string(treeName) + std::string(kExtension));
}

std::filesystem::path TreeLockPath(const std::filesystem::path& softwareDir, std::string_view treeName) {
  return softwareDir / (std::string(treeName) + std::string(kExtension) + ".lock");
}

std::optional<std::string> FindTreeFile(const std::filesystem::path& softwareDir, std::string_view treeName) {
  std::optional<std::string> found;
  ForEachTreeFile(softwareDir, [&](std::string_view stem) {
    if (!EqualsNoCase(stem, treeName)) return true;
    if (!found || stem == treeName) found = std::string(stem);
    return stem != treeName;
  });
  return found;
}

std::vector<std::string> ListTreeFiles(const std::filesystem::path& softwareDir) {
  std::vector<std::string> names;
  ForEachTreeFile(softwareDir, [&](std::string_view stem) {
    names.emplace_back(stem);
    return true;
  });
  return names;
}

TreeFileText ReadTreeFile(const std::filesystem::path& file, std::size_t limit) {
  TreeFileText result;
  const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno != ENOENT) {
      result.status = TreeFileText::Status::Unreadable;
      result.error = ErrnoText(errno);
    }
    return result;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    result.status = TreeFileText::Status::Unreadable;
    result.error = ErrnoText(errno);
  } else if (!S_ISREG(info.st_mode)) {
    result.status = TreeFileText::Status::Unreadable;
    result.error = "not a regular file";
  } else if (static_cast<std::uintmax_t>(info.st_size) > limit) {
    result.status = TreeFileText::Status::TooLarge;
  } else {
    // The size may change under us; read until the end, but never past the limit.
    result.status = TreeFileText::Status::Ok;
    char buffer[64 * 1024];
    for (;;) {
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        result.status = TreeFileText::Status::Unreadable;
        result.error = ErrnoText(errno);
        break;
      }
      if (n == 0) break;
      if (result.text.size() + static_cast<std::size_t>(n) > limit) {
        result.status = TreeFileText::Status::TooLarge;
        break;
      }
      result.text.append(buffer, static_cast<std::size_t>(n));
    }
  }
  ::close(fd);
  if (result.status != TreeFileText::Status::Ok) result.text.clear();
  return result;
}

std::optional<std::filesystem::path> SetAside(const std::filesystem::path& file, std::string& error) {
  for (int number = 0; number <= kMaxAsideNumber; ++number) {
    std::filesystem::path aside = file;
    aside += number == 0 ? std::string(".bad") : ".bad" + std::to_string(number);
    struct stat info {};
    if (::lstat(aside.c_str(), &info) == 0) continue;
    if (errno != ENOENT) {
      error = "cannot check " + aside.string() + " (" + ErrnoText(errno) + ")";
      return std::nullopt;
    }
    if (::rename(file.c_str(), aside.c_str()) != 0) {
      error = "cannot rename it to " + aside.string() + " (" + ErrnoText(errno) + ")";
      return std::nullopt;
    }
    return aside;
  }
  error = "all names up to " + file.string() + ".bad" + std::to_string(kMaxAsideNumber) + " are taken";
  return std::nullopt;
}

}  // namespace quelvar::platform
