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
  EXPECT_EQ(ControlText(install, "Label2"), "Fertig.");
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

TEST_F(InstallRun, AnErrorIsShownAndTheFormStaysAndItsCloseBoxAsksTheCancelQuestion) {
  folder_.Write("Setup.inf", kDemoSetupInf);
  SetupProcess& setup = Start();

  // An empty target directory cannot be created: the run ends with the
  // program's error display and goes no further.
  HWND install = StartInstallation(setup, "   ");
  MessageDialog error = setup.WaitForMessageBox("Tessarwolden");
  EXPECT_EQ(error.Text(), "Das Verzeichnis kann nicht erstellt werden.");
  error.Press(IDOK);
  setup.WaitForGone(error.Handle());
  EXPECT_TRUE(setup.IsVisible("TInstall"));
  EXPECT_FALSE(setup.SeenVisible().contains("TReady"));

  Post(install, WM_CLOSE);
  MessageDialog question = setup.WaitForMessageBox("Setup beenden");
  question.Press(IDNO);
  setup.WaitForGone(question.Handle());
  EXPECT_TRUE(setup.IsVisible("TInstall"));
  Post(install, WM_CLOSE);
  setup.WaitForMessageBox("Setup beenden").Press(IDYES);
  EXPECT_EQ(setup.WaitForExit(), 4u) << "the exit code of a run ended by an error";
}

}  // namespace
}  // namespace e2e
