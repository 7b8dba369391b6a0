#pragma once

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace builder {

/// One fault or warning about a description: the line at fault (0 when it
/// concerns no line) and a German sentence that says how to set it right.
struct Problem {
  int line = 0;
  std::string message;
  bool operator==(const Problem&) const = default;
};

/// "Zeile <line>: <message>", or the message alone for line 0.
inline std::string Describe(const Problem& problem) {
  if (problem.line == 0)
    return problem.message;
  return "Zeile " + std::to_string(problem.line) + ": " + problem.message;
}

/// Everything that stops a build: the faults of a description (each with its
/// line), or a file that cannot be read or written.
class BuildError : public std::runtime_error {
 public:
  explicit BuildError(const std::string& message)
      : BuildError(std::vector<Problem>{{0, message}}) {}
  BuildError(int line, const std::string& message)
      : BuildError(std::vector<Problem>{{line, message}}) {}
  /// `problems` must not be empty; what() lists them one per line.
  explicit BuildError(std::vector<Problem> problems)
      : std::runtime_error(Joined(problems)), problems_(std::move(problems)) {}

  /// Every fault, in the order of the description.
  const std::vector<Problem>& problems() const { return problems_; }
  /// The line of the first fault; 0 when it concerns no line.
  int line() const { return problems_.front().line; }
  /// The first fault's message without the line number.
  const std::string& message() const { return problems_.front().message; }

 private:
  static std::string Joined(const std::vector<Problem>& problems) {
    std::string text;
    for (const Problem& problem : problems)
      text += (text.empty() ? "" : "\n") + Describe(problem);
    return text;
  }

  std::vector<Problem> problems_;
};

/// Collects the faults of a description so that one run names them all. Past
/// kMaxShown faults only their number is kept.
class Problems {
 public:
  static constexpr size_t kMaxShown = 50;

  void Add(int line, std::string message) {
    if (list_.size() < kMaxShown)
      list_.push_back({line, std::move(message)});
    else
      ++hidden_;
  }
  void Add(const BuildError& error) {
    for (const Problem& problem : error.problems())
      Add(problem.line, problem.message);
  }
  bool empty() const { return list_.empty(); }

  /// Raises a BuildError with every fault collected, if there is any.
  void ThrowIfAny() const {
    if (list_.empty())
      return;
    std::vector<Problem> all = list_;
    std::stable_sort(all.begin(), all.end(),
                     [](const Problem& a, const Problem& b) { return a.line < b.line; });
    if (hidden_ > 0)
      all.push_back({0, "… und " + std::to_string(hidden_) + " weitere Fehler"});
    throw BuildError(std::move(all));
  }

 private:
  std::vector<Problem> list_;
  size_t hidden_ = 0;
};

}  // namespace builder
