// Any bytes as an archive, extracted through the library's entry point into a
// scratch folder: nothing may crash, no file may be written outside the
// folder, and no output may exceed what the directory declares.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/fuzz/MemoryInput.h"
#include "unpack/Directory.h"
#include "unpack/EntryName.h"
#include "unpack/OemCodePage.h"
#include "unpack/UnpackApi.h"

namespace fs = std::filesystem;

namespace {

struct Scratch {
  fs::path root = fs::temp_directory_path() / ("fuzz_extract_" + std::to_string(::getpid()));
  fs::path archive = root / "a.zip";
  fs::path out = root / "out";
  Scratch() {
    fs::remove_all(root);
    fs::create_directories(out);
    fs::current_path(out);
  }
};

// The seeds' encrypted entries take the record's password; a mutated
// encryption header makes the library ask, and gets a wrong one.
constexpr char kPassword[] = "geheim";

int32_t UNPACK_CALL Callback(unpack::CallbackRecord* record) {
  if (record->action == unpack::kActionPassword) {
    record->number = 1;
    std::snprintf(record->text, sizeof record->text, "%s", "falsch");
  }
  return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Scratch scratch;
  {
    std::ofstream f(scratch.archive, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }

  // The names to ask for: a fixed one, and the first few the directory holds.
  std::vector<std::string> names = {"1"};
  std::vector<uint64_t> declared;
  fuzz::MemoryInput input(data, size);
  if (auto where = unpack::LocateDirectory(input)) {
    unpack::DirectoryWalker walker(input, *where);
    while (const unpack::CentralEntry* e = walker.Next()) {
      if (names.size() < 4) {
        names.push_back(unpack::EntryTextToUtf8(e->rawName, e->header.versionMadeBy,
                                                e->header.flags, unpack::NameCodePage::Auto,
                                                unpack::OemToUtf8));
      }
      declared.push_back(e->extent.uncompressedSize);
    }
  }
  std::vector<unpack::EntrySpec> specs(names.size());
  for (size_t i = 0; i < names.size(); ++i)
    specs[i].name = names[i].c_str();
  const std::string path = scratch.archive.string();
  unpack::Params p{};
  p.head.callback = &Callback;
  p.head.password = kPassword;
  p.head.minusOne40 = -1;
  p.head.entryCount = static_cast<int32_t>(names.size());
  p.head.archivePath = path.c_str();
  p.entries = specs.data();
  p.passwordTries = 2;
  p.seven = 7;
  UnpackExec(&p);

  uint64_t largest = 0;
  for (uint64_t d : declared)
    largest = std::max(largest, d);
  for (const auto& e : fs::directory_iterator(scratch.root)) {
    if (e.path() != scratch.archive && e.path() != scratch.out)
      __builtin_trap();
  }
  for (const auto& e : fs::directory_iterator(scratch.out)) {
    if (!e.is_regular_file() || e.file_size() > largest)
      __builtin_trap();
    fs::remove(e.path());
  }
  return 0;
}
