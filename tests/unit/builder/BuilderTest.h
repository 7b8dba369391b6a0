#pragma once

// What the builder's tests share: a scratch folder with source files, a
// description written into it, and readers for what the build leaves there
// that do not go through the builder's own code.

#include <gtest/gtest.h>
#include <zip.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tools/builder/BuildError.h"
#include "tools/builder/Description.h"
#include "tools/builder/SetupBuilder.h"

namespace builder {

/// Prints a fault or warning readably in a failed expectation.
inline void PrintTo(const Problem& problem, std::ostream* out) {
  *out << Describe(problem);
}

}  // namespace builder

namespace builder_test {

namespace fs = std::filesystem;

inline std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << path;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  ASSERT_TRUE(out) << path;
}

/// The names in a folder, sorted; hidden ones included.
inline std::set<std::string> FolderNames(const fs::path& folder) {
  std::set<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder))
    names.insert(entry.path().filename().string());
  return names;
}

struct ZipEntry {
  std::string name;
  std::string data;
  int32_t method = -1;
  bool operator==(const ZipEntry&) const = default;
};

/// The modification time of every entry of a ZIP archive held in `bytes`.
inline std::map<std::string, time_t> ZipTimes(const std::string& bytes) {
  std::map<std::string, time_t> times;
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, nullptr);
  zip_t* archive = zip_open_from_source(source, ZIP_RDONLY, nullptr);
  if (archive == nullptr) {
    ADD_FAILURE() << "not a readable ZIP archive";
    zip_source_free(source);
    return times;
  }
  for (zip_int64_t k = 0; k < zip_get_num_entries(archive, 0); ++k) {
    zip_stat_t stat;
    zip_stat_index(archive, static_cast<zip_uint64_t>(k), 0, &stat);
    times[stat.name] = stat.mtime;
  }
  zip_close(archive);
  return times;
}

/// The entries of a ZIP archive held in `bytes`, in directory order, read
/// with libzip's reader (which checks each entry's CRC).
inline std::vector<ZipEntry> ReadZip(const std::string& bytes) {
  std::vector<ZipEntry> entries;
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
  zip_t* archive =
      source ? zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error) : nullptr;
  if (archive == nullptr) {
    ADD_FAILURE() << "not a readable ZIP archive: " << zip_error_strerror(&error);
    zip_source_free(source);
    zip_error_fini(&error);
    return entries;
  }
  zip_error_fini(&error);
  const zip_int64_t count = zip_get_num_entries(archive, 0);
  for (zip_int64_t k = 0; k < count; ++k) {
    zip_stat_t stat;
    zip_stat_index(archive, static_cast<zip_uint64_t>(k), 0, &stat);
    ZipEntry entry{stat.name, std::string(stat.size, '\0'), stat.comp_method};
    zip_file_t* file = zip_fopen_index(archive, static_cast<zip_uint64_t>(k), 0);
    EXPECT_NE(file, nullptr) << stat.name;
    if (file != nullptr) {
      EXPECT_EQ(zip_fread(file, entry.data.data(), stat.size), static_cast<zip_int64_t>(stat.size))
          << stat.name;
      EXPECT_EQ(zip_fclose(file), 0) << stat.name;
    }
    entries.push_back(std::move(entry));
  }
  zip_close(archive);
  return entries;
}

/// The entry called `name`; a failure and an empty entry when there is none.
inline ZipEntry FindEntry(const std::vector<ZipEntry>& entries, const std::string& name) {
  for (const ZipEntry& entry : entries) {
    if (entry.name == name)
      return entry;
  }
  ADD_FAILURE() << "no entry " << name;
  return {};
}

/// A scratch folder for one test, with the description and its sources in
/// it; the setup folder is made in `out` inside it.
class ScratchTest : public ::testing::Test {
 protected:
  ScratchTest() {
    std::string pattern = (fs::temp_directory_path() / "builder-test-XXXXXX").string();
    EXPECT_NE(mkdtemp(pattern.data()), nullptr);
    root = pattern;
    out = root / "out";
  }
  ~ScratchTest() override { fs::remove_all(root); }

  /// Writes a source file relative to the scratch folder.
  void Source(const std::string& relative, const std::string& bytes) {
    WriteBytes(root / relative, bytes);
  }

  /// Writes `text` as the description and builds `out` from it.
  builder::BuildResult Build(const std::string& text, builder::BuildOptions options = {}) {
    WriteBytes(root / "test.setup", text);
    if (options.output.empty())
      options.output = out;
    return builder::BuildSetupFolder(builder::ReadDescription(root / "test.setup"), options);
  }

  fs::path root;
  fs::path out;
};

}  // namespace builder_test
