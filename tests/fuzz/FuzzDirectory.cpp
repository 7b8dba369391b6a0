// Any bytes as an archive: the component's directory reader (through the
// simulated machine, unattended) and the library's must neither crash nor
// read out of bounds, whatever the records claim.

#include <cstddef>
#include <cstdint>
#include <string>

#include "archive/ZipUnpacker.h"
#include "platform/sim/SimPlatform.h"
#include "tests/fuzz/MemoryInput.h"
#include "unpack/Directory.h"
#include "unpack/EntryName.h"
#include "unpack/OemCodePage.h"

namespace {

struct Machine {
  platform::sim::SimPlatform sim;
  archive::TZipUnpacker zip{sim.platform(), "Tessarwolden"};
  Machine() { zip.SetUnattended(true); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Machine machine;
  machine.sim.PutFile("C:\\a.zip", std::string(reinterpret_cast<const char*>(data), size));
  machine.zip.SetArchivePath("C:\\a.zip");
  for (const auto& entry : machine.zip.Directory()) {
    // Conversion never shortens a name.
    if (entry.name.size() < entry.header.nameLength)
      __builtin_trap();
  }

  fuzz::MemoryInput input(data, size);
  if (auto where = unpack::LocateDirectory(input)) {
    unpack::DirectoryWalker walker(input, *where);
    while (const unpack::CentralEntry* e = walker.Next()) {
      std::string name =
          unpack::EntryTextToUtf8(e->rawName, e->header.versionMadeBy, e->header.flags,
                                  unpack::NameCodePage::Auto, unpack::OemToUtf8);
      if (!unpack::IsValidUtf8(name))
        __builtin_trap();
      if (auto flat = unpack::FlatFileName(name)) {
        if (flat->find_first_of("/\\:") != std::string::npos || *flat == "..")
          __builtin_trap();
      }
    }
  }
  return 0;
}
