#pragma once

#include <stdexcept>
#include <string>

namespace builder {

/// Everything that stops a build: a fault in the description (with its line
/// number) or a file that cannot be read or written.
class BuildError : public std::runtime_error {
 public:
  explicit BuildError(const std::string& message)
      : std::runtime_error(message), message_(message) {}
  BuildError(int line, const std::string& message)
      : std::runtime_error("Zeile " + std::to_string(line) + ": " + message),
        line_(line),
        message_(message) {}

  /// The description line at fault; 0 when the error concerns no line.
  int line() const { return line_; }
  /// The message without the line number.
  const std::string& message() const { return message_; }

 private:
  int line_ = 0;
  std::string message_;
};

}  // namespace builder
