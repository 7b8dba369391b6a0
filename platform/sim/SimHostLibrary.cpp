#include "platform/sim/SimHostLibrary.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace platform::sim {

#ifdef _WIN32

void* OpenHostLibrary(const std::filesystem::path& host) {
  return LoadLibraryW(host.wstring().c_str());
}

void* FindHostEntry(void* library, const char* entry) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), entry));
}

void CloseHostLibrary(void* library) {
  FreeLibrary(static_cast<HMODULE>(library));
}

#else

void* OpenHostLibrary(const std::filesystem::path& host) {
  return dlopen(host.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* FindHostEntry(void* library, const char* entry) {
  return dlsym(library, entry);
}

void CloseHostLibrary(void* library) {
  dlclose(library);
}

#endif

}  // namespace platform::sim
