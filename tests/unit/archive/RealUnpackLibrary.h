#pragma once

#include <string_view>

#include "platform/sim/SimPlatform.h"

namespace archive_test {

/// Makes `windowsPath` loadable on the simulated machine as the real unzip
/// library (libszunpack.so). A load of it maps the real library for its
/// calls and unmaps it after UnpackExec, unless the program holds another
/// load of it. Only one machine at a time can use it.
void RegisterRealUnpackLibrary(platform::sim::SimPlatform& sim, std::string_view windowsPath);

}  // namespace archive_test
