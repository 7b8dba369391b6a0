#pragma once

#include <memory>
#include <string_view>

namespace platform {

/// A loaded library; unloaded when the object goes away.
class Library {
 public:
  virtual ~Library() = default;

  /// The address of an exported entry point; nullptr when it is not exported.
  virtual void* Find(std::string_view entry) = 0;
};

class Libraries {
 public:
  virtual ~Libraries() = default;

  /// Loads a library by path, or by bare file name through the system's search
  /// order. Critical-error dialogs are suppressed. nullptr when it cannot be
  /// loaded.
  virtual std::unique_ptr<Library> Load(std::string_view path) = 0;
};

}  // namespace platform
