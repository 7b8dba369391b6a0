#include <string>

#include "tests/e2e/Scenario.h"

namespace e2e {
namespace {

class InstallRun : public Scenario {};

TEST_F(InstallRun, EndsOnTheFinishPageWithTheTrimmedTargetCreated) {
  folder_.CopyPrepared("produkt");
  folder_.Write("Setup.inf", kDemoSetupInf);
  SetupProcess& setup = Start();
  const std::string target = folder_.Path() + "Ziel\\Demo 1.0";

  HWND install = StartInstallation(setup, target + "   ");
  HWND finish = setup.WaitForVisible("TReady");
  EXPECT_FALSE(setup.IsVisible("TInstall"));
  // The form takes the run's last status at its next paint (every 40 ms),
  // which may come just after the finish page.
  WaitUntil("the form's last status", [&] { return ControlText(install, "Label2") == "Fertig."; });
  EXPECT_TRUE(PathExists(target));
  EXPECT_EQ(ControlText(setup.Window("TSchritt7"), "Label10"), target);
  EXPECT_EQ(ControlText(setup.Window("TSchritt4"), "Edit1"), target);
  EXPECT_FALSE(setup.SeenVisible().contains("TRebootForm"));

  Click(finish, "Button1");
  EXPECT_EQ(setup.WaitForExit(), 0u);
}

TEST_F(InstallRun, RestartPageFollowsWhenTheControlFileAsksForIt) {
  folder_.CopyPrepared("produkt");
  folder_.Write("Setup.inf", std::string(kDemoSetupInf) + "Reboot=true\r\n");
  SetupProcess& setup = Start();

  StartInstallation(setup, folder_.Path() + "Ziel");
  setup.WaitForVisible("TRebootForm");
  EXPECT_FALSE(setup.IsVisible("TInstall"));
  EXPECT_FALSE(setup.SeenVisible().contains("TReady"));
}

TEST_F(InstallRun, AnErrorIsShownAndEndsTheProgramWithItsCode) {
  folder_.Write("Setup.inf", kDemoSetupInf);
  SetupProcess& setup = Start();

  // An empty target directory cannot be created: the run ends with the
  // program's error display and goes no further; it had changed nothing.
  StartInstallation(setup, "   ");
  MessageDialog error = setup.WaitForMessageBox("Tessarwolden");
  EXPECT_EQ(error.Text(), "Das Verzeichnis kann nicht erstellt werden.");
  error.Press(IDOK);
  EXPECT_EQ(setup.WaitForExit(), 4u) << "the exit code of a run ended by an error";
  EXPECT_FALSE(setup.SeenVisible().contains("TReady"));
}

// The CRC of a payload entry as both of its headers give it, changed, so
// that the data no longer matches.
void DamageEntry(const std::string& archive, std::string_view name) {
  std::string bytes = ReadBytes(archive);
  for (size_t at = bytes.find("PK\x01\x02"); at != std::string::npos;
       at = bytes.find("PK\x01\x02", at + 4)) {
    const size_t length =
        static_cast<uint8_t>(bytes[at + 28]) | static_cast<uint8_t>(bytes[at + 29]) << 8;
    if (bytes.compare(at + 46, length, name) != 0)
      continue;
    const size_t local = static_cast<uint8_t>(bytes[at + 42]) |
                         static_cast<uint8_t>(bytes[at + 43]) << 8 |
                         static_cast<uint8_t>(bytes[at + 44]) << 16 |
                         static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 45])) << 24;
    bytes[at + 16] = static_cast<char>(~bytes[at + 16]);
    bytes[local + 14] = static_cast<char>(~bytes[local + 14]);
  }
  HANDLE file = CreateFileW(platform::win32::Widen(archive).c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

TEST_F(InstallRun, ADamagedPayloadEndsWithItsMessageAndLeavesNothingInstalled) {
  folder_.CopyPrepared("produkt");
  DamageEntry(folder_.Path() + "Setup.szp", "2");
  SetupProcess& setup = Start();
  const std::string target = folder_.Path() + "Ziel";

  StartInstallation(setup, target);
  MessageDialog error = setup.WaitForMessageBox("Tessarwolden");
  EXPECT_EQ(error.Text(),
            "Die Datei \"%SELECTED%\\Liesmich.txt\" kann nicht entpackt werden: das "
            "Installationsarchiv ist beschädigt.");
  error.Press(IDOK);
  MessageDialog undone = setup.WaitForMessageBox("Installation rückgängig gemacht - Tessarwolden");
  undone.Press(IDOK);
  EXPECT_EQ(setup.WaitForExit(), 4u);
  EXPECT_FALSE(PathExists(target)) << "the file placed before the damaged one went again";
  EXPECT_EQ(WorkFolders(), std::vector<std::string>{});
  EXPECT_FALSE(setup.SeenVisible().contains("TReady"));
}

TEST_F(InstallRun, ADamagedPayloadEndsASilentRunWithCode4AndItsMessageInTheLog) {
  folder_.CopyPrepared("produkt");
  DamageEntry(folder_.Path() + "Setup.szp", "2");
  const std::string target = folder_.Path() + "Ziel";
  SetupProcess& setup = Start("/silent \"/dir=" + target + "\"");

  EXPECT_EQ(setup.WaitForExit(), 4u);
  EXPECT_FALSE(PathExists(target));
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string log = ReadBytes(std::string(temp) + "Tessarwolden-Setup.log");
  EXPECT_NE(log.find("Fehler: Die Datei \"%SELECTED%\\Liesmich.txt\" kann nicht entpackt werden"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("Ergebnis: 4"), std::string::npos) << log;
}

// The payload is larger than the drive it is to go to (300 MB onto 3 MB):
// the message comes before any file is placed, and the drive stays empty.
TEST_F(InstallRun, ATooSmallDriveIsToldBeforeAnyFileIsPlaced) {
  const std::string drive = SmallDriveRoot();
  if (drive.empty())
    GTEST_SKIP() << "no small drive on this machine (scripts/e2e mounts one as root)";
  folder_.CopyPrepared("gross");
  const std::string target = drive + "Gross";
  const std::string needed = "Auf dem Laufwerk " + drive +
                             " ist nicht genug Platz frei: Setup braucht dort 300,1 MB, frei sind ";
  const std::string hint =
      "MB. Schaffen Sie Platz auf dem Laufwerk, oder wählen Sie ein anderes Zielverzeichnis.";

  SetupProcess& wizard = Start();
  StartInstallation(wizard, target);
  MessageDialog error = wizard.WaitForMessageBox("Tessarwolden");
  EXPECT_TRUE(error.Text().starts_with(needed) && error.Text().ends_with(hint)) << error.Text();
  EXPECT_FALSE(PathExists(target + "\\gross.bin")) << "nothing placed while the message shows";
  error.Press(IDOK);
  wizard.WaitForMessageBox("Installation rückgängig gemacht - Tessarwolden").Press(IDOK);
  EXPECT_EQ(wizard.WaitForExit(), 4u);
  EXPECT_FALSE(PathExists(target));

  SetupProcess& silent = Start("/silent \"/dir=" + target + "\"");
  EXPECT_EQ(silent.WaitForExit(), 4u);
  EXPECT_FALSE(PathExists(target));
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, temp);
  const std::string log = ReadBytes(std::string(temp) + "Tessarwolden-Setup.log");
  EXPECT_NE(log.find("Fehler: " + needed), std::string::npos) << log;
  EXPECT_EQ(WorkFolders(), std::vector<std::string>{});
}

}  // namespace
}  // namespace e2e
