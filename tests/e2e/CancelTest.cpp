#include <string>
#include <vector>

#include "tests/e2e/Scenario.h"

namespace e2e {
namespace {

constexpr std::string_view kCancelQuestion =
    "Das Setup ist noch nicht vollständig.\r"
    "Wenn Sie jetzt beenden, wird das Programm nicht auf Ihrem Computer installiert.\r"
    "\r"
    "Sie können Setup zu einem späteren Zeitpunkt neu starten, um die Installation "
    "fortzusetzen.\r"
    "Soll Setup jetzt beendet werden?";

// Ending through the cancel question must not have run any step of the
// installation: no work folder, no uninstaller, no uninstall key, nothing new
// beside Setup.exe.
void ExpectNothingInstalled(const SetupFolder& folder) {
  EXPECT_EQ(folder.Entries(), (std::vector<std::string>{"Setup.exe", "Setup.inf"}));
  EXPECT_EQ(WorkFolders(), std::vector<std::string>{});
  EXPECT_FALSE(PathExists(WindowsDirectory() + "\\Inst_Demo_remove.exe"));
  EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE,
                                 "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Demo"));
}

struct CancelWay {
  const char* name;
  void (*ask)(HWND page);
};

class CancelQuestion : public Scenario, public testing::WithParamInterface<CancelWay> {};

TEST_P(CancelQuestion, NoKeepsPage1AndYesEndsTheProgram) {
  folder_.Write("Setup.inf", kDemoSetupInf);
  SetupProcess& setup = Start();
  HWND page1 = setup.WaitForVisible("TSchritt1");

  GetParam().ask(page1);
  MessageDialog question = setup.WaitForMessageBox("Setup beenden");
  EXPECT_EQ(question.Text(), kCancelQuestion);
  EXPECT_TRUE(question.HasButton(IDYES));
  EXPECT_TRUE(question.HasButton(IDNO));
  EXPECT_FALSE(question.HasButton(IDCANCEL));
  question.Press(IDNO);
  setup.WaitForGone(question.Handle());
  EXPECT_TRUE(setup.IsVisible("TSchritt1"));
  EXPECT_EQ(WindowText(page1), "Willkommen.");

  // Asking again shows that No left the program running on page 1.
  GetParam().ask(page1);
  setup.WaitForMessageBox("Setup beenden").Press(IDYES);
  EXPECT_EQ(setup.WaitForExit(), 1u);
  ExpectNothingInstalled(folder_);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, CancelQuestion,
    testing::Values(CancelWay{"CancelButton", [](HWND page) { Click(page, "Button1"); }},
                    CancelWay{"CloseMessage", [](HWND page) { Post(page, WM_CLOSE); }},
                    CancelWay{"CloseBox", [](HWND page) { Post(page, WM_SYSCOMMAND, SC_CLOSE); }}),
    RowName());

using StartupForm = Scenario;

// The start-up form is the main window: closing it ends the program, so it
// must refuse every close request but the ones that end the program on
// purpose.
TEST_F(StartupForm, RefusesToCloseWhileTheWizardRuns) {
  folder_.Write("Setup.inf", kDemoSetupInf);
  SetupProcess& setup = Start();
  HWND page1 = setup.WaitForVisible("TSchritt1");
  setup.WaitForHidden("THauptprogramm");

  Post(setup.Window("THauptprogramm"), WM_CLOSE);
  // Posted to the same thread after the close request, so handled after it:
  // the question comes up only if the program is still there.
  Click(page1, "Button1");
  setup.WaitForMessageBox("Setup beenden").Press(IDYES);
  EXPECT_EQ(setup.WaitForExit(), 1u);
}

}  // namespace
}  // namespace e2e
