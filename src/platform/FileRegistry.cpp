#include "platform/FileRegistry.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>

#include "platform/AtomicFile.h"
#include "platform/FileLock.h"
#include "platform/RegFileFormat.h"
#include "platform/RegistryFiles.h"
#include "platform/RegistryNames.h"

namespace quelvar::platform {

FileRegistry::FileRegistry(std::filesystem::path dir) : dir_(std::move(dir)), softwareDir_(dir_ / "SOFTWARE") {}

FileRegistry::~FileRegistry() { Flush(); }

std::vector<std::string> FileRegistry::StoredTreeNames() { return ListTreeFiles(softwareDir_); }

void FileRegistry::LoadTree(AppTree& tree) {
  StoredFile& stored = files_[FoldCase(tree.name)];
  const auto found = FindTreeFile(softwareDir_, tree.name);
  if (!found) return;
  const auto file = TreeFilePath(softwareDir_, *found);
  const TreeFileText read = ReadTreeFile(file, kMaxRegistryFileSize);
  std::string trouble;
  switch (read.status) {
    case TreeFileText::Status::Missing:
      return;
    case TreeFileText::Status::Ok: {
      std::string error;
      if (ParseRegFile(read.text, *found, tree.root, error)) {
        tree.exists = true;
        tree.name = *found;
        stored.name = *found;
        return;
      }
      tree.root.Clear();
      trouble = "is damaged (" + error + ")";
      break;
    }
    case TreeFileText::Status::TooLarge:
      trouble = "is damaged (larger than " + std::to_string(kMaxRegistryFileSize >> 20) + " MiB)";
      break;
    case TreeFileText::Status::Unreadable:
      trouble = "cannot be read (" + read.error + ")";
      break;
  }
  // Keep the damaged file for a look later, out of the way of the next save. The lock is
  // best effort: without it the rename is still safe, only not shielded from a saver.
  std::string error;
  FileLock lock(TreeLockPath(softwareDir_, *found), error);
  if (const auto aside = SetAside(file, error)) {
    AddProblem("registry file " + file.string() + " " + trouble + "; kept as " + aside->string() +
               ", using defaults");
    return;
  }
  stored.name = *found;
  stored.blocked = true;
  AddProblem("registry file " + file.string() + " " + trouble + "; it could not be kept aside (" + error +
             "), so it is left as it is and changes to " + *found + " will not be saved; using defaults");
}

bool FileRegistry::SaveProblem(const AppTree& tree, const std::string& why) {
  AddProblem("registry tree " + tree.name + " is not saved: " + why);
  return false;
}

bool FileRegistry::RemoveStoredFile(StoredFile& stored, std::string& error) {
  FileLock lock(TreeLockPath(softwareDir_, stored.name), error);
  if (!lock.Held() || !RemoveFileDurably(TreeFilePath(softwareDir_, stored.name), error)) return false;
  stored.name.clear();
  return true;
}

bool FileRegistry::SaveTree(AppTree& tree) {
  StoredFile& stored = files_[FoldCase(tree.name)];
  if (stored.blocked) {
    return SaveProblem(tree, "its damaged file " + TreeFilePath(softwareDir_, stored.name).string() +
                                 " could not be kept aside");
  }
  std::string error;
  if (!tree.exists) {
    return stored.name.empty() || RemoveStoredFile(stored, error) || SaveProblem(tree, error);
  }
  const std::string text = FormatRegFile(tree.name, tree.root);
  if (text.size() > kMaxRegistryFileSize) {
    return SaveProblem(tree, "it would be larger than " + std::to_string(kMaxRegistryFileSize >> 20) + " MiB");
  }
  std::error_code ec;
  std::filesystem::create_directories(softwareDir_, ec);
  if (ec) return SaveProblem(tree, "cannot create " + softwareDir_.string() + " (" + ec.message() + ")");
  {
    FileLock lock(TreeLockPath(softwareDir_, tree.name), error);
    if (!lock.Held() || !WriteFileAtomically(TreeFilePath(softwareDir_, tree.name), text, error)) {
      return SaveProblem(tree, error);
    }
  }
  // Deleted and created again with other case: the file under the old name must go.
  if (!stored.name.empty() && stored.name != tree.name && !RemoveStoredFile(stored, error)) {
    return SaveProblem(tree, error);
  }
  stored.name = tree.name;
  return true;
}

std::filesystem::path DefaultRegistryDir() {
  if (const char* dir = std::getenv("QUELVAR_REGISTRY_DIR"); dir && *dir) return dir;
  std::filesystem::path home;
  if (const char* env = std::getenv("HOME"); env && *env) {
    home = env;
  } else {
    char buffer[4096];
    passwd entry{};
    passwd* result = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer, sizeof buffer, &result) == 0 && result && result->pw_dir) {
      home = result->pw_dir;
    }
  }
  if (home.empty()) return {};
  return home / ".config" / "quelvar" / "registry";
}

}  // namespace quelvar::platform
