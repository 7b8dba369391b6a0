#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

/// The process and its surroundings.
class System {
 public:
  virtual ~System() = default;

  /// The full path of the running program.
  virtual std::string ModulePath() = 0;
  /// The command-line arguments after the program name, split as Windows
  /// splits them; empty when there are none.
  virtual std::vector<std::string> Arguments() = 0;
  /// Asks the application to end: posts the quit message to the message loop.
  virtual void PostQuit() = 0;
  /// Lets the application handle the messages that are waiting, then returns.
  virtual void ProcessMessages() = 0;
  /// Shows the hourglass cursor while `busy`, the normal cursor otherwise.
  virtual void SetBusyCursor(bool busy) = 0;

  /// Text from the ANSI code page to UTF-8, byte for byte.
  virtual std::string AnsiToUtf8(std::string_view ansi) = 0;
  /// Text from UTF-8 to the ANSI code page; characters it lacks become '?'.
  virtual std::string Utf8ToAnsi(std::string_view utf8) = 0;
  /// Text from the OEM code page to UTF-8.
  virtual std::string OemToUtf8(std::string_view oem) = 0;
};

}  // namespace platform
