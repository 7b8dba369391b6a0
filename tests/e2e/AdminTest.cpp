#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstring>
#include <set>
#include <string>

#include "tests/e2e/Scenario.h"

namespace e2e {
namespace {

using Administration = Scenario;

// A second Setup.exe would share the work folder and the registry values of
// the first: it says so and ends with its own code, the first goes on.
TEST_F(Administration, ASecondSetupWhileOneRunsEndsWithItsOwnCode) {
  folder_.Write("Setup.inf", kDemoSetupInf);
  SetupProcess& first = Start();
  HWND page1 = first.WaitForVisible("TSchritt1");

  SetupProcess second(folder_, "");
  MessageDialog running = second.WaitForMessageBox("Setup");
  EXPECT_EQ(running.Text(),
            "Setup wird bereits ausgeführt.\rBitte warten Sie, bis das laufende Setup beendet "
            "ist, und starten Sie es dann erneut.");
  running.Press(IDOK);
  EXPECT_EQ(second.WaitForExit(), 5u);
  EXPECT_FALSE(second.SeenVisible().contains("THauptprogramm"));

  EXPECT_TRUE(first.IsVisible("TSchritt1"));
  Click(page1, "Button1");
  first.WaitForMessageBox("Setup beenden").Press(IDYES);
  EXPECT_EQ(first.WaitForExit(), 1u);

  // The lock went with the first program: a new one starts.
  SetupProcess third(folder_, "");
  third.WaitForVisible("TSchritt1");
}

// The manifest Windows reads from the program's resources: administrative
// rights (the run writes below HKEY_LOCAL_MACHINE and the program files
// folder), the Windows versions it was made for, long paths, and the common
// controls of version 6.
TEST_F(Administration, TheManifestAsksForAdministrativeRightsAndNamesTheWindowsVersions) {
  HMODULE image = LoadLibraryExW(platform::win32::Widen(folder_.SetupExe()).c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(image, nullptr);
  HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  ASSERT_NE(found, nullptr);
  const auto* bytes = static_cast<const char*>(LockResource(LoadResource(image, found)));
  const std::string manifest(bytes, SizeofResource(image, found));
  FreeLibrary(image);
  for (const char* part : {
           "<requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>",
           "<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>",
           "<supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>",
           ">true</longPathAware>",
           "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
       }) {
    EXPECT_NE(manifest.find(part), std::string::npos) << part;
  }
}

// The libraries a program's image names are loaded before its first line
// runs, in the usual search order: the program's own folder first. Only
// libraries that Windows always takes from its system folder (its known
// DLLs, and the common controls through the manifest) are safe there, as a
// setup runs from download folders where anybody may have put a DLL.
TEST_F(Administration, SetupExeImportsOnlyLibrariesWindowsTakesFromItsSystemFolder) {
  const std::string image = ReadBytes(folder_.SetupExe());
  auto at = [&](size_t offset, size_t size) {
    if (offset + size > image.size())
      throw HarnessError("Setup.exe is cut short");
    return image.data() + offset;
  };
  IMAGE_DOS_HEADER dos;
  std::memcpy(&dos, at(0, sizeof dos), sizeof dos);
  IMAGE_NT_HEADERS nt;
  std::memcpy(&nt, at(static_cast<size_t>(dos.e_lfanew), sizeof nt), sizeof nt);
  const size_t sections = static_cast<size_t>(dos.e_lfanew) +
                          offsetof(IMAGE_NT_HEADERS, OptionalHeader) +
                          nt.FileHeader.SizeOfOptionalHeader;
  // A relative address of the loaded image as an offset into the file.
  auto fileOffset = [&](DWORD rva) -> size_t {
    for (WORD k = 0; k < nt.FileHeader.NumberOfSections; ++k) {
      IMAGE_SECTION_HEADER section;
      std::memcpy(&section, at(sections + k * sizeof section, sizeof section), sizeof section);
      if (rva >= section.VirtualAddress && rva < section.VirtualAddress + section.Misc.VirtualSize)
        return rva - section.VirtualAddress + section.PointerToRawData;
    }
    throw HarnessError("an address outside every section");
  };
  const DWORD imports =
      nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
  std::set<std::string> names;
  for (size_t entry = fileOffset(imports);; entry += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
    IMAGE_IMPORT_DESCRIPTOR descriptor;
    std::memcpy(&descriptor, at(entry, sizeof descriptor), sizeof descriptor);
    if (descriptor.Name == 0)
      break;
    std::string name = at(fileOffset(descriptor.Name), 1);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    names.insert(name);
  }
  const std::set<std::string> safe = {"advapi32.dll", "comctl32.dll", "gdi32.dll",   "kernel32.dll",
                                      "msvcrt.dll",   "ole32.dll",    "shell32.dll", "user32.dll"};
  for (const std::string& name : names)
    EXPECT_TRUE(safe.contains(name)) << name;
  EXPECT_TRUE(names.contains("kernel32.dll"));
}

}  // namespace
}  // namespace e2e
