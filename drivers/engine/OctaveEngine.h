#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace haldrevon {

// GNU Octave as a child process, spoken to through one socket that is its
// standard input and output. Every request is one line calling a helper
// function defined at start (so no request can be a parse error, which ends
// a non-interactive Octave); the helper answers with a marker line
// "@@HALDREVON@@ <sequence> <ok> <value>". Anything else Octave prints goes to
// our standard error. Bulk data travel as native doubles in files in a
// private directory. Every exchange has a time-out; a time-out or an engine
// that went away kills the child, and later calls fail at once.
class OctaveEngine {
 public:
  OctaveEngine() = default;
  ~OctaveEngine();
  OctaveEngine(const OctaveEngine&) = delete;
  OctaveEngine& operator=(const OctaveEngine&) = delete;

  // Starts the engine unless it runs; true when it runs.
  bool Start();
  // Ends the engine (asks, then kills after a grace period) and removes the
  // private directory.
  void Close();
  bool Running();

  // AD (column-major rows x cols), Fs, ChnName and ChnUint into the engine.
  bool SendAd(const std::vector<double>& ad, int32_t rows, int32_t cols, double fs,
              const std::vector<std::string>& names, const std::vector<std::string>& units);
  // Evaluates `command` in the engine's workspace; true when it raised no error.
  bool Evaluate(const std::string& command);
  // Element count of a numeric, logical or text variable; 0 when missing.
  int32_t VariableSize(const std::string& name);
  // Exactly the count the last VariableSize reported, as doubles: real parts,
  // or magnitudes with `magnitude`. False, `destination` untouched, when the
  // variable has another count.
  bool Variable(double* destination, const std::string& name, bool magnitude);

  pid_t ChildId() const { return pid_; }

 private:
  struct Reply {
    bool ok = false;
    double value = 0.0;
  };
  bool Request(const std::string& call, double timeoutSeconds, Reply& reply);
  bool ReadReply(int64_t sequence, double timeoutSeconds, Reply& reply);
  void Forward(const std::string& line) const;
  void Abandon(const char* why);
  void RemoveDirectory();
  std::string Quoted(const std::string& text) const;

  pid_t pid_ = -1;
  int fd_ = -1;
  std::string dir_;
  std::string pending_;   // received, not yet a whole line
  int64_t sequence_ = 0;
  int64_t capacity_ = 0;  // the count the last VariableSize reported
};

}  // namespace haldrevon
