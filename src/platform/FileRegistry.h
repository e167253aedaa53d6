#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/TreeRegistry.h"

namespace quelvar::platform {

// Larger tree files are taken as damaged, and a tree that would grow larger is not saved.
inline constexpr std::size_t kMaxRegistryFileSize = 64 * 1024 * 1024;

// The persistent registry. Each application tree "\SOFTWARE\<App>" is one REGEDIT4 file
// "<dir>/SOFTWARE/<App>.reg", loaded on first use and replaced atomically on every save
// under the lock "<App>.reg.lock", so instances on different trees run side by side.
// A tree belongs to one FileRegistry at a time: the files are not merged on save.
//
// A tree whose file cannot be read or parsed starts empty; the file is renamed to
// "<App>.reg.bad" (or .bad1, ...) and TakeProblems() says so. When it cannot be renamed
// it is left alone and saves of that tree fail.
class FileRegistry final : public TreeRegistry {
 public:
  explicit FileRegistry(std::filesystem::path dir);
  // Saves what a forgotten batch left unsaved.
  ~FileRegistry() override;
  FileRegistry(const FileRegistry&) = delete;
  FileRegistry& operator=(const FileRegistry&) = delete;

  const std::filesystem::path& Dir() const { return dir_; }

 protected:
  void LoadTree(AppTree& tree) override;
  bool SaveTree(AppTree& tree) override;
  std::vector<std::string> StoredTreeNames() override;

 private:
  struct StoredFile {
    std::string name;      // tree name of the file on disk, empty when there is none
    bool blocked = false;  // a damaged file that could not be set aside is in the way
  };

  bool RemoveStoredFile(StoredFile& stored, std::string& error);
  bool SaveProblem(const AppTree& tree, const std::string& why);

  std::filesystem::path dir_;
  std::filesystem::path softwareDir_;
  std::map<std::string, StoredFile> files_;  // by folded tree name
};

// $QUELVAR_REGISTRY_DIR when set, else ~/.config/quelvar/registry; empty when neither
// that variable nor a home directory is known.
std::filesystem::path DefaultRegistryDir();

}  // namespace quelvar::platform
