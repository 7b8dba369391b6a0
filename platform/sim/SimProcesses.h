#pragma once

#include <string>
#include <vector>

#include "platform/Processes.h"
#include "platform/sim/SimFiles.h"
#include "platform/sim/SimPlatform.h"

namespace platform::sim {

/// Programs of the simulated machine run as real host programs: the program
/// a command line names on a simulated drive is started from its host file,
/// in the host folder of the current directory, with the arguments split as
/// the program's start-up code on Windows splits them. Every call is
/// recorded, whether or not a program was started.
class SimProcesses : public Processes {
 public:
  explicit SimProcesses(SimFiles& files) : files_(files) {}

  bool RunAndWait(std::string_view commandLine, std::string_view currentDirectory,
                  std::stop_token stop = {}) override;

  /// Every call, in order.
  std::vector<StartedProcess> started;

 private:
  SimFiles& files_;
};

}  // namespace platform::sim
