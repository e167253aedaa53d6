#include "platform/DynamicLibrary.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cctype>
#include <climits>
#include <utility>

namespace quelvar::platform {

std::string UndecoratedSymbolName(std::string_view name) {
  // "_Name@N" with N decimal digits is the stdcall decoration.
  if (name.size() < 4 || name.front() != '_') return std::string(name);
  const auto at = name.rfind('@');
  if (at == std::string_view::npos || at < 2 || at + 1 == name.size()) return std::string(name);
  for (size_t i = at + 1; i < name.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(name[i]))) return std::string(name);
  }
  return std::string(name.substr(1, at - 1));
}

std::string ExecutableDir() {
  char buf[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  std::string path(buf, static_cast<size_t>(n));
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string{} : path.substr(0, slash);
}

std::vector<std::string> LibraryCandidates(std::string_view name) {
  std::vector<std::string> out;
  if (name.empty()) return out;
  if (name.find('/') != std::string_view::npos) {
    out.emplace_back(name);
    return out;
  }
  const std::string exeDir = ExecutableDir();
  if (!exeDir.empty()) out.push_back(exeDir + "/" + std::string(name));
  out.push_back("./" + std::string(name));
  out.emplace_back(name);
  return out;
}

DynamicLibrary::~DynamicLibrary() { Free(); }

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)),
      path_(std::move(other.path_)),
      error_(std::move(other.error_)) {}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
  if (this != &other) {
    Free();
    handle_ = std::exchange(other.handle_, nullptr);
    path_ = std::move(other.path_);
    error_ = std::move(other.error_);
  }
  return *this;
}

bool DynamicLibrary::Load(std::string_view name) {
  Free();
  error_.clear();
  for (const std::string& candidate : LibraryCandidates(name)) {
    // A candidate path that does not exist is not an error worth reporting;
    // the last loader message is kept for the caller.
    const bool isPath = candidate.find('/') != std::string::npos;
    if (isPath && access(candidate.c_str(), F_OK) != 0) continue;
    handle_ = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ != nullptr) {
      path_ = candidate;
      return true;
    }
    if (const char* e = dlerror()) error_ = e;
  }
  if (error_.empty()) error_ = std::string(name) + ": library not found";
  return false;
}

void DynamicLibrary::Free() {
  if (handle_ != nullptr) dlclose(handle_);
  handle_ = nullptr;
  path_.clear();
}

void* DynamicLibrary::Symbol(std::string_view name) const {
  if (handle_ == nullptr || name.empty()) return nullptr;
  dlerror();
  if (void* p = dlsym(handle_, std::string(name).c_str())) return p;
  const std::string plain = UndecoratedSymbolName(name);
  if (plain == name) return nullptr;
  return dlsym(handle_, plain.c_str());
}

}  // namespace quelvar::platform
