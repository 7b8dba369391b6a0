#pragma once

#include <filesystem>

namespace platform::sim {

/// Loads a shared library of the host; nullptr when it cannot be loaded.
void* OpenHostLibrary(const std::filesystem::path& host);
/// An entry point of a host library; nullptr when it is not exported.
void* FindHostEntry(void* library, const char* entry);
void CloseHostLibrary(void* library);

}  // namespace platform::sim
