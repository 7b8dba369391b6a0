#pragma once

#include <stdexcept>

namespace engine {

/// A failure of the installation run itself, shown by the form that runs it.
class EInstallError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace engine
