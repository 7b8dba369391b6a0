#pragma once

#include <stop_token>
#include <string_view>

namespace platform {

/// Programs started by the setup.
class Processes {
 public:
  virtual ~Processes() = default;

  /// Starts `commandLine` (the program and its arguments, as CreateProcess
  /// takes a command line without an application name) with
  /// `currentDirectory` as its current directory and the setup's own
  /// environment, and waits without time limit until it has ended or `stop`
  /// is requested; a program still running at the stop is ended, so that
  /// nothing of a stopped setup goes on working. False when the program
  /// could not be started; nothing is waited for then.
  virtual bool RunAndWait(std::string_view commandLine, std::string_view currentDirectory,
                          std::stop_token stop = {}) = 0;
};

}  // namespace platform
