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

}  // namespace
}  // namespace e2e
