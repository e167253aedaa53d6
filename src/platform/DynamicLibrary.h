#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quelvar::platform {

// The program's libraries keep their Windows file names ("ADCard2.DLL" is an
// ELF shared object of exactly that name) and their entry points keep their
// stdcall-decorated names in the binding tables. ELF cannot export a name such
// as "_Initial@16", so a decorated name resolves to the plain symbol "Initial".
std::string UndecoratedSymbolName(std::string_view name);

// Where a bare library name is looked for, in order: the executable's
// directory, the current directory, then the system search path (the bare
// name itself, left to the dynamic loader). A name holding a '/' is used as is.
std::vector<std::string> LibraryCandidates(std::string_view name);

// LoadLibrary / GetProcAddress / FreeLibrary over dlopen. Move-only; the
// library is freed when the object is destroyed or Free() is called.
class DynamicLibrary {
 public:
  DynamicLibrary() = default;
  ~DynamicLibrary();
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;
  DynamicLibrary(DynamicLibrary&& other) noexcept;
  DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;

  // Frees any library held, then loads `name`. False when no candidate loads;
  // ErrorText() then says why.
  bool Load(std::string_view name);
  void Free();
  bool IsLoaded() const { return handle_ != nullptr; }

  // The entry point bound to `name` (decorated or plain), or nullptr when the
  // library lacks it: a missing entry binds as empty.
  void* Symbol(std::string_view name) const;

  template <typename Fn>
  Fn Entry(std::string_view name) const {
    return reinterpret_cast<Fn>(Symbol(name));
  }

  const std::string& ErrorText() const { return error_; }
  const std::string& LoadedPath() const { return path_; }

 private:
  void* handle_ = nullptr;
  std::string path_;
  std::string error_;
};

// Directory of the running executable, with no trailing '/'; empty if unknown.
std::string ExecutableDir();

}  // namespace quelvar::platform
