// The real unzip library opens the archive by its path and writes into the
// process's current directory. On the simulated machine both are Windows
// paths that exist only inside the simulation, so the library is reached
// through this trampoline: it puts the archive's host path into the record,
// makes the host folder of the simulated current directory the real one for
// the call, and calls the real entry point.

#include "tests/unit/archive/RealUnpackLibrary.h"

#include <dlfcn.h>

#include <filesystem>
#include <stdexcept>
#include <string>

#include "unpack/UnpackApi.h"

namespace archive_test {
namespace {

platform::sim::SimPlatform* g_sim = nullptr;
// The component asks for the version, then calls UnpackExec, within one load
// of the library; the real library is loaded at the first and unloaded after
// the second, so that each Extract pays for one load as on Windows, unless
// another load of it is still open then: as on Windows, the library then
// stays mapped.
void* g_handle = nullptr;

void* Entry(const char* name) {
  if (!g_handle)
    g_handle = dlopen(SZUNPACK_SO, RTLD_NOW | RTLD_LOCAL);
  if (!g_handle)
    throw std::runtime_error(dlerror());
  return dlsym(g_handle, name);
}

int32_t UNPACK_CALL GetUnpackVersionTrampoline() {
  return reinterpret_cast<unpack::GetUnpackVersionFn>(Entry("GetUnpackVersion"))();
}

int32_t UNPACK_CALL UnpackExecTrampoline(unpack::Params* params) {
  namespace fs = std::filesystem;
  auto exec = reinterpret_cast<unpack::UnpackExecFn>(Entry("UnpackExec"));
  const std::string hostArchive = g_sim->HostPath(params->head.archivePath).string();
  const fs::path hostDir = g_sim->HostPath(g_sim->platform().files.CurrentDirectory());
  const char* windowsArchive = params->head.archivePath;
  const fs::path previous = fs::current_path();
  params->head.archivePath = hostArchive.c_str();
  fs::current_path(hostDir);
  const int32_t result = exec(params);
  fs::current_path(previous);
  params->head.archivePath = windowsArchive;
  if (g_sim->OpenLibraryCount() <= 1) {
    dlclose(g_handle);
    g_handle = nullptr;
  }
  return result;
}

}  // namespace

void RegisterRealUnpackLibrary(platform::sim::SimPlatform& sim, std::string_view windowsPath) {
  g_sim = &sim;
  sim.RegisterLibrary(windowsPath, [](std::string_view entry) -> void* {
    if (entry == "UnpackExec")
      return reinterpret_cast<void*>(&UnpackExecTrampoline);
    if (entry == "GetUnpackVersion")
      return reinterpret_cast<void*>(&GetUnpackVersionTrampoline);
    return nullptr;
  });
}

}  // namespace archive_test
