#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "engine/PayloadFormat.h"
#include "tests/unit/builder/BuilderTest.h"
#include "tools/builder/BuildError.h"

namespace {

using builder_test::FolderNames;
using builder_test::ReadBytes;
namespace fs = std::filesystem;
namespace payload = engine::payload;

// Ends in [Builder], so that a test can add its keys.
const std::string kDescription =
    "[Settings]\nAppName=Demo\nVersion=1.0\nCompany=Firma\nLicense=True\n"
    "[Media]\nLicense.txt\n"
    "[Files]\ndaten.bin=%selected%\\daten.bin\n"
    "[Builder]\nUninstaller=uninstall.exe\n";

// Bytes that do not compress, so that the payload is about as large.
std::string Noise(size_t size) {
  std::string bytes;
  uint32_t state = 12345;
  for (size_t k = 0; k < size; ++k) {
    state = state * 1103515245 + 12345;
    bytes += static_cast<char>(state >> 24);
  }
  return bytes;
}

std::string Medium(int k) {
  return "Medium" + std::to_string(k);
}

class MediaTest : public builder_test::ScratchTest {
 protected:
  MediaTest() {
    Source("daten.bin", Noise(3000));
    Source("uninstall.exe", "MZ deinstallieren");
    Source("License.txt", "Lizenz\r\n");
    Source("bin/Setup.exe", std::string(1000, 'S'));
    Source("bin/SZUNPACK.DLL", std::string(500, 'D'));
  }

  builder::BuildOptions Options(const fs::path& output) const {
    return {output, root / "bin/Setup.exe", root / "bin/SZUNPACK.DLL"};
  }

  // The payload of a build without media, which the parts must join to.
  std::string WholePayload() {
    const fs::path whole = root / "ganz";
    Build(kDescription, Options(whole));
    return ReadBytes(whole / "Setup.szp");
  }
};

// Medium 1 carries the program, Setup.inf, the library and the texts; part k
// lies alone on medium k + 1, where Setup.exe asks for it; the parts join to
// the payload and differ in size by a byte at most.
TEST_F(MediaTest, MediaCountGivesExactlyThatManyMediaFolders) {
  const std::string whole = WholePayload();
  ASSERT_GT(whole.size(), 3000u);
  for (int media : {1, 2, 3, 7}) {
    SCOPED_TRACE(media);
    const fs::path output = root / ("medien-" + std::to_string(media));
    const builder::BuildResult result =
        Build(kDescription + "Media=" + std::to_string(media) + "\n", Options(output));

    std::set<std::string> folders;
    for (int k = 1; k <= media; ++k)
      folders.insert(Medium(k));
    EXPECT_EQ(FolderNames(output), folders);
    std::set<std::string> first = {"Setup.exe", "Setup.inf", "SZUNPACK.DLL", "License.txt"};
    if (media == 1)
      first.insert("Setup.szp");
    EXPECT_EQ(FolderNames(output / Medium(1)), first);
    EXPECT_EQ(ReadBytes(output / Medium(1) / "Setup.exe"), std::string(1000, 'S'));

    const std::string control = ReadBytes(output / Medium(1) / "Setup.inf");
    if (media == 1) {
      EXPECT_EQ(ReadBytes(output / Medium(1) / "Setup.szp"), whole);
      EXPECT_NE(control.find("Splitted=false\r\n"), std::string::npos) << control;
    } else {
      EXPECT_NE(
          control.find("Splitted=true\r\nSplitFileCount=" + std::to_string(media - 1) + "\r\n"),
          std::string::npos)
          << control;
    }
    std::string joined;
    std::set<size_t> sizes;
    for (int k = 1; k < media; ++k) {
      const fs::path medium = output / Medium(k + 1);
      EXPECT_EQ(FolderNames(medium), std::set<std::string>{payload::PartName(k)});
      const std::string part = ReadBytes(medium / payload::PartName(k));
      sizes.insert(part.size());
      joined += part;
    }
    if (media > 1) {
      EXPECT_TRUE(joined == whole) << "the parts do not join to the payload";
      EXPECT_LE(*sizes.rbegin() - *sizes.begin(), 1u);
    }
    EXPECT_EQ(result.parts, media - 1);
    ASSERT_EQ(result.media.size(), static_cast<size_t>(media));
    EXPECT_EQ(result.media[0].name, "Medium1");
  }
}

// With a medium size alone the builder takes as many media as the payload
// needs, or one when everything fits on it.
TEST_F(MediaTest, MediumSizeFillsEachMediumUpToIt) {
  const std::string whole = WholePayload();

  Build(kDescription + "MediumSize=1M\n", Options(out));
  EXPECT_EQ(FolderNames(out), std::set<std::string>{"Medium1"});
  EXPECT_EQ(ReadBytes(out / "Medium1/Setup.szp"), whole);

  fs::remove_all(out);
  const uint64_t size = 2000;  // medium 1 holds about 1500 bytes besides the payload
  builder::BuildOptions options = Options(out);
  options.mediumSize = size;
  const builder::BuildResult result = Build(kDescription, options);
  const size_t parts = (whole.size() + size - 1) / size;
  EXPECT_EQ(result.parts, static_cast<int>(parts));
  EXPECT_EQ(FolderNames(out).size(), parts + 1);
  for (size_t k = 1; k <= parts; ++k) {
    const std::string part =
        ReadBytes(out / Medium(static_cast<int>(k) + 1) / payload::PartName(static_cast<int>(k)));
    EXPECT_EQ(part.size(), k < parts ? size : whole.size() - (parts - 1) * size) << k;
  }
  for (const builder::BuiltFolder& medium : result.media)
    EXPECT_LE(medium.bytes, size) << medium.name;
}

TEST_F(MediaTest, AMediumThatDoesNotFitStopsTheBuild) {
  struct Case {
    std::string builder;
    std::string message;
  };
  for (const Case& c : std::vector<Case>{
           {"MediumSize=1400", "Medium 1 braucht 1"},  // the program alone does not fit
           {"Media=2\nMediumSize=2000",
            "Jedes der Medien 2 bis 2 bekäme "},  // the payload does not fit on one medium
           {"Media=1\nMediumSize=3000", "Das Setup braucht "},
       }) {
    SCOPED_TRACE(c.builder);
    try {
      Build(kDescription + c.builder + "\n", Options(out));
      ADD_FAILURE() << "no error raised";
    } catch (const builder::BuildError& error) {
      EXPECT_EQ(std::string(error.what()).find(c.message), 0u) << error.what();
    }
    EXPECT_FALSE(fs::exists(out));
    EXPECT_EQ(FolderNames(root), (std::set<std::string>{"bin", "daten.bin", "License.txt",
                                                        "test.setup", "uninstall.exe"}));
  }
}

// The command line's count takes precedence over the description's.
TEST_F(MediaTest, TheOptionsCountOverridesTheDescriptions) {
  builder::BuildOptions options = Options(out);
  options.media = 3;
  Build(kDescription + "Media=2\n", options);
  EXPECT_EQ(FolderNames(out), (std::set<std::string>{"Medium1", "Medium2", "Medium3"}));
}

}  // namespace
