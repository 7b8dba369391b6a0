#pragma once

#include <stdexcept>

namespace platform::sim {

/// A test set up the simulated machine in a way it cannot be: a file on a
/// drive that does not exist, an answer a message box cannot give.
class SimError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace platform::sim
