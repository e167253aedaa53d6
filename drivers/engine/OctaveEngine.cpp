#include "OctaveEngine.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cinttypes>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "CommandRules.h"

namespace haldrevon {

namespace {

// Time-outs, generous: they only keep a stuck engine from hanging the
// program. Bulk transfers get a second more per ten million values.
constexpr double kStartSeconds = 60.0;
constexpr double kDefaultEvaluateSeconds = 30.0;
constexpr double kQuerySeconds = 10.0;
constexpr double kCloseSeconds = 5.0;
constexpr double kValuesPerSecond = 1.0e7;

constexpr char kMarker[] = "@@HALDREVON@@ ";

// The helpers every request calls, defined once at start. A helper never
// lets an error escape: an error at the top level would end Octave.
constexpr char kBootScript[] = R"OCT(1;
more off;
page_screen_output(false);
function __hald_reply__(seq, ok, value)
  printf("\n@@HALDREVON@@ %d %d %.17g\n", seq, ok, value);
  fflush(stdout);
endfunction
function __hald_report__(err)
  fputs(stderr, ["Haldrevon: " err.message "\n"]);
  fflush(stderr);
endfunction
function __hald_start__(seq)
  ok = 0;
  try
    pkg load signal;
    ok = 1;
  catch err
    __hald_report__(err);
  end_try_catch
  __hald_reply__(seq, ok, 0);
endfunction
% The signal package's csd, cohere and tfe switch pwelch to its old argument
% order and switch it back only when they succeed; every command starts from
% the current order, which the panel's commands are written in.
function __hald_known_state__()
  try
    pwelch("R12+");
  catch
  end_try_catch
endfunction
function t = __hald_texts__(file)
  fid = fopen(file, "r");
  b = fread(fid, Inf, "uint8=>char")';
  fclose(fid);
  parts = strsplit(b, char(0));
  t = char(parts{1:end-1});
endfunction
function __hald_load__(seq, dir, rows, cols, fs, results)
  ok = 0;
  try
    evalin("base", ["clear " results]);
    __hald_known_state__();
    fid = fopen([dir "/ad.bin"], "r");
    ad = fread(fid, [rows cols], "double");
    fclose(fid);
    if (! isequal(size(ad), [rows cols]))
      error("the data file is short");
    endif
    assignin("base", "AD", ad);
    assignin("base", "Fs", fs);
    assignin("base", "ChnName", __hald_texts__([dir "/names.bin"]));
    assignin("base", "ChnUint", __hald_texts__([dir "/units.bin"]));
    ok = 1;
  catch err
    __hald_report__(err);
  end_try_catch
  __hald_reply__(seq, ok, 0);
endfunction
function __hald_eval__(seq, dir, cleared, oldorder)
  ok = 0;
  try
    __hald_known_state__();
    if (! isempty(cleared))
      evalin("base", ["clear " cleared]);
    endif
    if (oldorder)
      pwelch("R11-");
    endif
    evalin("base", fileread([dir "/command.m"]));
    ok = 1;
  catch err
    __hald_report__(err);
  end_try_catch
  __hald_known_state__();
  % Figures are drawn now: between requests the engine waits on its input.
  try
    if (! isempty(get(0, "children")))
      drawnow();
    endif
  catch err
    __hald_report__(err);
  end_try_catch
  __hald_reply__(seq, ok, 0);
endfunction
function __hald_size__(seq, name)
  n = 0;
  try
    if (evalin("base", ["exist(\"" name "\", \"var\")"]) == 1)
      v = evalin("base", name);
      if (isnumeric(v) || islogical(v) || ischar(v))
        n = numel(v);
      endif
    endif
  catch err
    __hald_report__(err);
  end_try_catch
  __hald_reply__(seq, 1, n);
endfunction
function __hald_get__(seq, dir, name, magnitude, expected)
  ok = 0;
  n = 0;
  try
    v = evalin("base", name);
    if ((isnumeric(v) || islogical(v) || ischar(v)) && numel(v) == expected)
      if (magnitude)
        v = abs(double(v));
      else
        v = real(double(v));
      endif
      fid = fopen([dir "/value.bin"], "w");
      n = fwrite(fid, v(:), "double");
      fclose(fid);
      ok = n == expected;
    endif
  catch err
    __hald_report__(err);
  end_try_catch
  __hald_reply__(seq, ok, n);
endfunction
)OCT";

// A command's time-out; HALDREVON_EVALUATE_SECONDS sets another.
double EvaluateSeconds() {
  if (const char* text = std::getenv("HALDREVON_EVALUATE_SECONDS")) {
    const double seconds = std::strtod(text, nullptr);
    if (seconds > 0) return seconds;
  }
  return kDefaultEvaluateSeconds;
}

double Now() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

bool WriteFile(const std::string& path, const void* data, size_t bytes) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const auto* p = static_cast<const char*>(data);
  bool ok = true;
  while (bytes > 0) {
    const ssize_t n = write(fd, p, bytes);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    p += n;
    bytes -= static_cast<size_t>(n);
  }
  return close(fd) == 0 && ok;
}

// Texts one after another, each ended by a NUL.
std::string JoinTexts(const std::vector<std::string>& texts) {
  std::string out;
  for (const std::string& t : texts) {
    out += t.substr(0, t.find('\0'));
    out += '\0';
  }
  return out;
}

// The Octave program: the command-line one, or with a display the full one
// without its desktop, whose figures appear in windows. HALDREVON_OCTAVE
// names another.
std::string OctaveProgram(bool& windowed) {
  windowed = false;
  if (const char* chosen = std::getenv("HALDREVON_OCTAVE"); chosen != nullptr && *chosen != '\0') {
    windowed = std::strstr(chosen, "octave-cli") == nullptr;
    return chosen;
  }
  const char* display = std::getenv("DISPLAY");
  if (display != nullptr && *display != '\0') {
    windowed = true;
    return "octave";
  }
  return "octave-cli";
}

// The program's path as execv takes it: searched on PATH before the fork,
// since the child may only make async-signal-safe calls.
std::string ResolveProgram(const std::string& program) {
  if (program.find('/') != std::string::npos) return access(program.c_str(), X_OK) == 0 ? program : std::string{};
  const char* path = std::getenv("PATH");
  std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    const size_t end = std::min(dirs.find(':', start), dirs.size());
    std::string dir = dirs.substr(start, end - start);
    if (dir.empty()) dir = ".";
    const std::string candidate = dir + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return {};
}

}  // namespace

OctaveEngine::~OctaveEngine() { Close(); }

std::string OctaveEngine::Quoted(const std::string& text) const {
  std::string out = "'";
  for (const char ch : text) {
    out += ch;
    if (ch == '\'') out += '\'';
  }
  return out + "'";
}

bool OctaveEngine::Running() {
  if (pid_ <= 0) return false;
  int status = 0;
  const pid_t r = waitpid(pid_, &status, WNOHANG);
  // Ended, or reaped by someone else: either way the number is no longer ours.
  if (r == pid_ || (r < 0 && errno == ECHILD)) {
    pid_ = -1;
    Abandon("the engine has ended");
    return false;
  }
  return true;
}

bool OctaveEngine::Start() {
  if (Running()) return true;
  Close();
  bool windowed = false;
  std::string program = OctaveProgram(windowed);
  std::string path = ResolveProgram(program);
  if (path.empty() && program == "octave") {
    // Only the command-line program is installed: no figures, but the analyses.
    windowed = false;
    program = "octave-cli";
    path = ResolveProgram(program);
  }
  if (path.empty()) {
    std::fprintf(stderr, "Haldrevon: %s not found: GNU Octave is not installed\n", program.c_str());
    return false;
  }
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/haldrevon-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    std::fprintf(stderr, "Haldrevon: no private directory: %s\n", std::strerror(errno));
    return false;
  }
  dir_ = pattern;
  if (!WriteFile(dir_ + "/boot.m", kBootScript, sizeof kBootScript - 1)) {
    RemoveDirectory();
    return false;
  }
  int sv[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) {
    RemoveDirectory();
    return false;
  }
  std::vector<std::string> args = {path, "--norc", "--no-history", "--quiet", "--no-line-editing"};
  if (windowed) {
    args.emplace_back("--no-gui");
  } else {
    args.emplace_back("--no-window-system");
  }
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  const pid_t parent = getpid();
  const pid_t pid = fork();
  if (pid == 0) {
    // The engine goes with the program, even one that is killed.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);
    setpgid(0, 0);  // a terminal's Ctrl-C is the program's, not the engine's
    dup2(sv[1], 0);
    dup2(sv[1], 1);
    syscall(SYS_close_range, 3U, ~0U, 0U);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(sv[1]);
  if (pid < 0) {
    close(sv[0]);
    RemoveDirectory();
    return false;
  }
  pid_ = pid;
  fd_ = sv[0];
  pending_.clear();
  capacity_ = 0;
  Reply reply;
  const std::string boot = "source(" + Quoted(dir_ + "/boot.m") + ");\n";
  if (send(fd_, boot.data(), boot.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(boot.size())) {
    Abandon("the engine did not start");
    return false;
  }
  if (!Request("__hald_start__(%SEQ%)", kStartSeconds, reply) || !reply.ok) {
    if (pid_ > 0) Abandon("the signal package could not be loaded");
    return false;
  }
  return true;
}

void OctaveEngine::Close() {
  capacity_ = 0;
  if (pid_ > 0) {
    static constexpr char kExit[] = "exit(0);\n";
    send(fd_, kExit, sizeof kExit - 1, MSG_NOSIGNAL);
    // Wait for the end of its output, then for the process; it is killed
    // when it takes longer than the grace period.
    const double deadline = Now() + kCloseSeconds;
    char buf[4096];
    for (;;) {
      const double left = deadline - Now();
      if (left <= 0) break;
      pollfd p{fd_, POLLIN, 0};
      const int r = poll(&p, 1, static_cast<int>(left * 1000) + 1);
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0) break;
      const ssize_t n = recv(fd_, buf, sizeof buf, 0);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
    }
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0 && Now() < deadline) {
      pollfd none{-1, 0, 0};
      poll(&none, 0, 10);
    }
    if (waitpid(pid_, &status, WNOHANG) == 0) kill(pid_, SIGKILL);
    waitpid(pid_, &status, 0);
    pid_ = -1;
  }
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  RemoveDirectory();
}

void OctaveEngine::Abandon(const char* why) {
  std::fprintf(stderr, "Haldrevon: %s\n", why);
  if (pid_ > 0) {
    kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
  }
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  capacity_ = 0;
  RemoveDirectory();
}

void OctaveEngine::RemoveDirectory() {
  if (dir_.empty()) return;
  if (DIR* d = opendir(dir_.c_str())) {
    while (const dirent* e = readdir(d)) {
      if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
      unlink((dir_ + "/" + e->d_name).c_str());
    }
    closedir(d);
  }
  rmdir(dir_.c_str());
  dir_.clear();
}

void OctaveEngine::Forward(const std::string& line) const {
  if (line.empty()) return;
  std::fprintf(stderr, "%s\n", line.c_str());
}

bool OctaveEngine::Request(const std::string& call, double timeoutSeconds, Reply& reply) {
  if (!Running()) return false;
  const int64_t seq = ++sequence_;
  std::string line = call;
  const size_t at = line.find("%SEQ%");
  if (at != std::string::npos) line.replace(at, 5, std::to_string(seq));
  line += "\n";
  size_t sent = 0;
  while (sent < line.size()) {
    const ssize_t n = send(fd_, line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      Abandon("the engine has gone");
      return false;
    }
    sent += static_cast<size_t>(n);
  }
  return ReadReply(seq, timeoutSeconds, reply);
}

bool OctaveEngine::ReadReply(int64_t sequence, double timeoutSeconds, Reply& reply) {
  const double deadline = Now() + timeoutSeconds;
  char buf[65536];
  for (;;) {
    size_t nl;
    while ((nl = pending_.find('\n')) != std::string::npos) {
      std::string text = pending_.substr(0, nl);
      pending_.erase(0, nl + 1);
      if (text.compare(0, sizeof kMarker - 1, kMarker) != 0) {
        Forward(text);
        continue;
      }
      long long seq = 0;
      int ok = 0;
      double value = 0.0;
      if (std::sscanf(text.c_str() + sizeof kMarker - 1, "%lld %d %lf", &seq, &ok, &value) == 3 &&
          seq == sequence) {
        reply.ok = ok != 0;
        reply.value = value;
        return true;
      }
    }
    const double left = deadline - Now();
    if (left <= 0) {
      Abandon("the engine did not answer in time");
      return false;
    }
    pollfd p{fd_, POLLIN, 0};
    const int r = poll(&p, 1, static_cast<int>(std::min(left, 3600.0) * 1000) + 1);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) {
      Abandon("the engine cannot be heard");
      return false;
    }
    if (r == 0) continue;
    const ssize_t n = recv(fd_, buf, sizeof buf, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      Abandon("the engine has ended");
      return false;
    }
    pending_.append(buf, static_cast<size_t>(n));
  }
}

bool OctaveEngine::SendAd(const std::vector<double>& ad, int32_t rows, int32_t cols, double fs,
                          const std::vector<std::string>& names, const std::vector<std::string>& units) {
  capacity_ = 0;
  if (!Running()) return false;
  const std::string nameBytes = JoinTexts(names);
  const std::string unitBytes = JoinTexts(units);
  if (!WriteFile(dir_ + "/ad.bin", ad.data(), ad.size() * sizeof(double)) ||
      !WriteFile(dir_ + "/names.bin", nameBytes.data(), nameBytes.size()) ||
      !WriteFile(dir_ + "/units.bin", unitBytes.data(), unitBytes.size())) {
    std::fprintf(stderr, "Haldrevon: the data could not be written\n");
    return false;
  }
  std::string results;
  for (const std::string& r : ResultVariables()) results += r + " ";
  char numbers[128];
  std::snprintf(numbers, sizeof numbers, ", %" PRId32 ", %" PRId32 ", %.17g, ", rows, cols, fs);
  Reply reply;
  const bool answered =
      Request("__hald_load__(%SEQ%, " + Quoted(dir_) + numbers + Quoted(results) + ")",
              EvaluateSeconds() + static_cast<double>(ad.size()) / kValuesPerSecond, reply);
  if (!dir_.empty()) unlink((dir_ + "/ad.bin").c_str());
  return answered && reply.ok;
}

bool OctaveEngine::Evaluate(const std::string& command) {
  capacity_ = 0;
  if (!Running()) return false;
  if (!WriteFile(dir_ + "/command.m", command.data(), command.size())) return false;
  std::string cleared;
  for (const std::string& r : ResultsAssignedBy(command)) cleared += r + " ";
  Reply reply;
  const char* order = UsesOldPwelchOrder(command) ? "true" : "false";
  return Request("__hald_eval__(%SEQ%, " + Quoted(dir_) + ", " + Quoted(cleared) + ", " + order + ")",
                 EvaluateSeconds(), reply) &&
         reply.ok;
}

int32_t OctaveEngine::VariableSize(const std::string& name) {
  capacity_ = 0;
  if (!IsVariableName(name) || !Running()) return 0;
  Reply reply;
  if (!Request("__hald_size__(%SEQ%, " + Quoted(name) + ")", kQuerySeconds, reply) || !reply.ok) return 0;
  if (!(reply.value > 0) || reply.value > INT32_MAX) return 0;
  capacity_ = static_cast<int64_t>(reply.value);
  return static_cast<int32_t>(capacity_);
}

bool OctaveEngine::Variable(double* destination, const std::string& name, bool magnitude) {
  const int64_t count = capacity_;
  if (destination == nullptr || count <= 0 || !IsVariableName(name) || !Running()) return false;
  Reply reply;
  const std::string call = "__hald_get__(%SEQ%, " + Quoted(dir_) + ", " + Quoted(name) + ", " +
                           (magnitude ? "true" : "false") + ", " + std::to_string(count) + ")";
  if (!Request(call, kQuerySeconds + static_cast<double>(count) / kValuesPerSecond, reply) || !reply.ok ||
      reply.value != static_cast<double>(count)) {
    return false;
  }
  const std::string file = dir_ + "/value.bin";
  const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st{};
  const auto bytes = static_cast<size_t>(count) * sizeof(double);
  bool ok = fstat(fd, &st) == 0 && static_cast<size_t>(st.st_size) == bytes;
  // Read in place only once the whole file is known to be there.
  auto* out = reinterpret_cast<char*>(destination);
  size_t done = 0;
  while (ok && done < bytes) {
    const ssize_t n = read(fd, out + done, bytes - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) ok = false;
    else done += static_cast<size_t>(n);
  }
  close(fd);
  unlink(file.c_str());
  return ok;
}

}  // namespace haldrevon
