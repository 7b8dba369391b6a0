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

// Loaded and unloaded around every call, as the program does on Windows.
class RealLibrary {
 public:
  RealLibrary() : handle_(dlopen(SZUNPACK_SO, RTLD_NOW | RTLD_LOCAL)) {
    if (!handle_)
      throw std::runtime_error(dlerror());
  }
  ~RealLibrary() { dlclose(handle_); }
  void* Find(const char* name) { return dlsym(handle_, name); }

 private:
  void* handle_;
};

int32_t UNPACK_CALL GetUnpackVersionTrampoline() {
  RealLibrary library;
  return reinterpret_cast<unpack::GetUnpackVersionFn>(library.Find("GetUnpackVersion"))();
}

int32_t UNPACK_CALL UnpackExecTrampoline(unpack::Params* params) {
  namespace fs = std::filesystem;
  const std::string hostArchive = g_sim->HostPath(params->head.archivePath).string();
  const fs::path hostDir = g_sim->HostPath(g_sim->platform().files.CurrentDirectory());
  const char* windowsArchive = params->head.archivePath;
  const fs::path previous = fs::current_path();
  params->head.archivePath = hostArchive.c_str();
  fs::current_path(hostDir);
  int32_t result;
  {
    RealLibrary library;
    result = reinterpret_cast<unpack::UnpackExecFn>(library.Find("UnpackExec"))(params);
  }
  fs::current_path(previous);
  params->head.archivePath = windowsArchive;
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
