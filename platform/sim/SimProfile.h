#pragma once

#include "platform/Files.h"
#include "platform/ProfileStrings.h"

namespace platform::sim {

/// The Windows profile-string reader re-done over the simulated files. A bare
/// file name is looked for in the Windows directory; an ANSI file is read as
/// Windows-1252, a file with a UTF-8 or UTF-16 byte-order mark accordingly.
class SimProfile : public ProfileStrings {
 public:
  explicit SimProfile(Files& files) : files_(files) {}

  std::string Read(std::string_view file, std::string_view section, std::string_view key,
                   std::string_view fallback) override;

 private:
  Files& files_;
};

}  // namespace platform::sim
