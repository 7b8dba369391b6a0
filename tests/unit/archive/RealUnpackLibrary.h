#pragma once

#include <string_view>

#include "platform/sim/SimPlatform.h"

namespace archive_test {

/// Makes `windowsPath` loadable on the simulated machine as the real unzip
/// library (libszunpack.so). Each load of it loads and unloads the real
/// library once per entry-point call. Only one machine at a time can use it.
void RegisterRealUnpackLibrary(platform::sim::SimPlatform& sim, std::string_view windowsPath);

}  // namespace archive_test
