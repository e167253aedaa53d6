#include "CommandRules.h"

#include <algorithm>
#include <cctype>
#include <regex>

namespace haldrevon {

namespace {

bool IsIdentChar(char ch) { return std::isalnum(static_cast<unsigned char>(ch)) != 0 || ch == '_'; }

bool IsResult(std::string_view name) {
  const auto& all = ResultVariables();
  return std::find(all.begin(), all.end(), name) != all.end();
}

// A statement, split into what it assigns and what it reads; strings blanked.
struct Statement {
  std::vector<std::string> targets;
  std::string reads;
};

// The command with its string literals replaced by blanks. A quote after a
// name, a closing bracket or another quote is a transpose, not a string.
std::string BlankStrings(std::string_view text) {
  std::string out(text);
  char prev = ' ';
  for (size_t i = 0; i < out.size(); ++i) {
    const char ch = out[i];
    const bool transpose = ch == '\'' && (IsIdentChar(prev) || prev == ')' || prev == ']' || prev == '}' ||
                                          prev == '\'' || prev == '.');
    if ((ch == '\'' || ch == '"') && !transpose) {
      size_t j = i + 1;
      for (; j < out.size(); ++j) {
        if (ch == '"' && out[j] == '\\') {
          ++j;
          continue;
        }
        if (out[j] == ch) {
          if (j + 1 < out.size() && out[j + 1] == ch) {
            ++j;
            continue;
          }
          break;
        }
      }
      const size_t end = std::min(j, out.size() - 1);
      for (size_t k = i; k <= end; ++k) out[k] = ' ';
      i = end;
      prev = '0';  // a string is a value: a quote after it transposes
      continue;
    }
    if (ch != ' ' && ch != '\t') prev = ch;
  }
  return out;
}

std::vector<std::string> Identifiers(std::string_view text) {
  std::vector<std::string> names;
  for (size_t i = 0; i < text.size();) {
    if (IsIdentChar(text[i]) && std::isdigit(static_cast<unsigned char>(text[i])) == 0 &&
        (i == 0 || (!IsIdentChar(text[i - 1]) && text[i - 1] != '.'))) {
      size_t j = i;
      while (j < text.size() && IsIdentChar(text[j])) ++j;
      names.emplace_back(text.substr(i, j - i));
      i = j;
    } else {
      ++i;
    }
  }
  return names;
}

// Position just past a single '=' (not '==') at `at` after blanks, or npos.
size_t AssignmentAt(std::string_view s, size_t at) {
  while (at < s.size() && (s[at] == ' ' || s[at] == '\t')) ++at;
  if (at < s.size() && s[at] == '=' && (at + 1 >= s.size() || s[at + 1] != '=')) return at + 1;
  return std::string_view::npos;
}

Statement Split(std::string_view s) {
  size_t b = 0;
  while (b < s.size() && (s[b] == ' ' || s[b] == '\t')) ++b;
  Statement st;
  if (b < s.size() && s[b] == '[') {
    int depth = 0;
    size_t close = std::string_view::npos;
    for (size_t i = b; i < s.size(); ++i) {
      if (s[i] == '[' || s[i] == '(' || s[i] == '{') ++depth;
      if (s[i] == ']' || s[i] == ')' || s[i] == '}') --depth;
      if (depth == 0) {
        close = i;
        break;
      }
    }
    if (close != std::string_view::npos) {
      const size_t rhs = AssignmentAt(s, close + 1);
      if (rhs != std::string_view::npos) {
        st.targets = Identifiers(s.substr(b + 1, close - b - 1));
        st.reads = std::string(s.substr(rhs));
        return st;
      }
    }
  } else if (b < s.size() && IsIdentChar(s[b])) {
    size_t j = b;
    while (j < s.size() && IsIdentChar(s[j])) ++j;
    const size_t rhs = AssignmentAt(s, j);
    if (rhs != std::string_view::npos) {
      st.targets.emplace_back(s.substr(b, j - b));
      st.reads = std::string(s.substr(rhs));
      return st;
    }
  }
  st.reads = std::string(s);
  return st;
}

}  // namespace

const std::vector<std::string>& ResultVariables() {
  static const std::vector<std::string> names = {"Pxx", "Pxy", "Cxy", "Txy", "c", "lags", "f"};
  return names;
}

std::vector<std::string> ResultsAssignedBy(std::string_view command) {
  const std::string text = BlankStrings(command);
  std::vector<std::string> cleared;
  std::vector<std::string> seen;  // result names already read or assigned
  auto known = [&seen](const std::string& n) { return std::find(seen.begin(), seen.end(), n) != seen.end(); };
  int depth = 0;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    const char ch = i < text.size() ? text[i] : ';';
    if (ch == '(' || ch == '[' || ch == '{') ++depth;
    if (ch == ')' || ch == ']' || ch == '}') depth = std::max(depth - 1, 0);
    if (!((ch == ';' || ch == ',' || ch == '\n') && depth == 0) && i < text.size()) continue;
    const Statement st = Split(std::string_view(text).substr(start, i - start));
    for (const std::string& n : Identifiers(st.reads)) {
      if (IsResult(n) && !known(n)) seen.push_back(n);
    }
    for (const std::string& n : st.targets) {
      if (IsResult(n) && !known(n)) {
        seen.push_back(n);
        cleared.push_back(n);
      }
    }
    start = i + 1;
  }
  return cleared;
}

bool UsesOldPwelchOrder(std::string_view command) {
  static const std::regex oldForm(
      R"(\bpwelch\s*\(\s*AD\s*\(\s*:\s*,\s*\d+\s*\)\s*,\s*\d+\s*,\s*\(?\s*Fs(\s*\*\s*\d+)?\s*\)?\s*\))");
  return std::regex_search(command.begin(), command.end(), oldForm);
}

bool IsVariableName(std::string_view name) {
  if (name.empty() || name.size() > 63 || std::isalpha(static_cast<unsigned char>(name[0])) == 0) return false;
  return std::all_of(name.begin(), name.end(), IsIdentChar);
}

}  // namespace haldrevon
