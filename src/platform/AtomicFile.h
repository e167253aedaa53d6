#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace quelvar::platform {

// Replaces `target` with `data` so that, whatever happens meanwhile (a crash, a kill, a
// full disk), the target is always either the previous file whole or the new one whole:
// the data goes to "<target>.tmp" in the same directory, is fsynced and renamed over the
// target, then the directory is fsynced. The caller holds a lock that keeps other writers
// of this target out, since they would share the temporary file. False with `error` set
// when any step failed; the temporary file is then removed.
bool WriteFileAtomically(const std::filesystem::path& target, std::string_view data, std::string& error);

// The same for a path the user chose: the temporary file gets a name no one
// else uses ("<target>.tmp-<pid>-<n>", created exclusively), so a user's own
// "<name>.tmp" or a second writer is never clobbered, and no lock is needed.
bool WriteUserFileAtomically(const std::filesystem::path& target, std::string_view data, std::string& error);

// Creates a new file from `buffers`, written one after another (no copy of them is
// made), and never replaces an existing file: it appears in `directory` whole under
// the first of nameAt(0) .. nameAt(names - 1) that no file has, or not at all. The
// temporary file beside it is named like WriteUserFileAtomically's after nameAt(0).
// `published` gets the name as soon as the file has it. False with `error` set when
// every name is taken or any step failed; the temporary file is then removed (a
// failed directory sync after publishing leaves the complete file in place).
bool CreateFileAtomically(const std::filesystem::path& directory, const std::function<std::string(int)>& nameAt,
                          int names, std::span<const std::string_view> buffers, std::string& published,
                          std::string& error);

// A file the user chose, written piece by piece as its content is made, that
// appears whole or not at all: the pieces go to a temporary file named like
// WriteUserFileAtomically's, which Commit syncs and renames over the target.
// Dropped without a successful Commit, the temporary file is removed and the
// target is left as it was. Pieces are gathered in memory up to a buffer's
// size before each write.
class StreamedUserFile {
 public:
  explicit StreamedUserFile(std::filesystem::path target);
  ~StreamedUserFile();
  StreamedUserFile(const StreamedUserFile&) = delete;
  StreamedUserFile& operator=(const StreamedUserFile&) = delete;

  // Creates the temporary file; false with `error` set when it cannot.
  bool Open(std::string& error);
  // Adds a piece; after a failure (or before Open) every piece is dropped
  // and Commit fails.
  void Write(std::string_view piece);
  bool Commit(std::string& error);

 private:
  bool Flush();
  std::filesystem::path target_;
  std::filesystem::path temp_;
  std::string buffer_;
  int fd_ = -1;
  bool failed_ = false;
  int errno_ = 0;
};

// Removes the file and fsyncs its directory; a file that is already gone is not an error.
bool RemoveFileDurably(const std::filesystem::path& target, std::string& error);

// Points in WriteFileAtomically where a test may stop the writing process.
enum class AtomicWriteStep {
  TempPartlyWritten,  // after each chunk of the temporary file but the last
  TempWritten,        // all data written, not yet fsynced
  TempSynced,         // just before the rename
  Renamed,            // just after the rename, before the directory fsync
};

// Called at every AtomicWriteStep; nullptr (the default) for none.
void SetAtomicWriteHookForTesting(void (*hook)(AtomicWriteStep));

}  // namespace quelvar::platform
