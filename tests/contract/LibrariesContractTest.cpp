#include "tests/contract/ContractFixture.h"

namespace contract {
namespace {

using LibrariesContract = ContractTest;

TEST_F(LibrariesContract, MissingLibraryDoesNotLoad) {
  auto& libraries = platform().libraries;
  EXPECT_EQ(libraries.Load(Scratch("SZUNPACK.DLL")), nullptr);
  EXPECT_EQ(libraries.Load("TessarwoldenNoSuchLibrary.dll"), nullptr);
}

TEST_F(LibrariesContract, FileThatIsNoLibraryDoesNotLoad) {
  fixture().WriteRaw(Scratch("broken.dll"), "MZ but nothing else");
  EXPECT_EQ(platform().libraries.Load(Scratch("broken.dll")), nullptr);
}

TEST_F(LibrariesContract, KnownLibraryLoadsByFileNameAndFindsItsEntries) {
  std::unique_ptr<platform::Library> library = platform().libraries.Load(kKnownLibrary);
  ASSERT_NE(library, nullptr) << kKnownLibrary;
  EXPECT_NE(library->Find(kKnownLibraryEntry), nullptr) << kKnownLibraryEntry;
  EXPECT_EQ(library->Find("TessarwoldenNoSuchEntry"), nullptr);
}

}  // namespace
}  // namespace contract
