#include <string>
#include <string_view>

#include "tests/e2e/Scenario.h"

namespace e2e {
namespace {

constexpr std::string_view kPages[] = {"TSchritt1", "TSchritt2",  "TSchritt3", "TSchritt4",
                                       "TSchritt5", "TSchritt6",  "TSchritt7", "TInstall",
                                       "TReady",    "TRebootForm"};

struct Arguments {
  const char* name;
  const char* commandLine;
};

class MissingSetupInf : public Scenario, public testing::WithParamInterface<Arguments> {};

TEST_P(MissingSetupInf, ReportsItAndEndsWithoutShowingAPage) {
  SetupProcess& setup = Start(GetParam().commandLine);

  MessageDialog error = setup.WaitForMessageBox("Fehler beim Initialisieren");
  EXPECT_EQ(error.Text(),
            "Die Steuerdatei \"Setup.inf\" wurde nicht gefunden. Setup kann nicht ausgeführt "
            "werden.\r"
            "Wenden Sie sich bitte an den Hersteller des zu installierenden Programms, um Hilfe "
            "zu erhalten!");
  error.Press(IDOK);

  EXPECT_EQ(setup.WaitForExit(), 2u);
  for (std::string_view page : kPages) {
    EXPECT_FALSE(setup.SeenVisible().contains(std::string(page))) << page;
  }
}

INSTANTIATE_TEST_SUITE_P(Arguments, MissingSetupInf,
                         testing::Values(Arguments{"None", ""}, Arguments{"Ready", "/ready"}),
                         RowName());

// The title is formatted into three captions before it is trimmed and into
// the pages' texts after.
struct TitleCase {
  const char* name;
  const char* settings;
  const char* untrimmed;
  const char* trimmed;
};

class StartupTitle : public Scenario, public testing::WithParamInterface<TitleCase> {};

TEST_P(StartupTitle, FillsTheCaptionsThenShowsPage1) {
  const TitleCase& title = GetParam();
  const std::string untrimmed = title.untrimmed;
  const std::string trimmed = title.trimmed;
  folder_.Write("Setup.inf", std::string("[Settings]\r\n") + title.settings);
  SetupProcess& setup = Start();

  HWND page1 = setup.WaitForVisible("TSchritt1");
  setup.WaitForHidden("THauptprogramm");
  EXPECT_EQ(WindowText(page1), "Willkommen.");

  EXPECT_EQ(ControlText(setup.Window("THauptprogramm"), "Label1"), "Setup für " + untrimmed);
  EXPECT_EQ(ControlText(setup.Window("TInstall"), "Label12"),
            untrimmed + " Setup führt die gewünschten Operationen aus.");
  EXPECT_EQ(ControlText(setup.Window("TReady"), "Label1"),
            "Die Installation von " + untrimmed + " wurde beendet.");

  EXPECT_EQ(ControlText(page1, "Label1"), "Willkommen zum Tessarwolden-Assistenten für " + trimmed);
  EXPECT_EQ(ControlText(page1, "Label2"),
            "Es wird jetzt " + trimmed + " auf Ihrem Computer installiert.");
  EXPECT_EQ(ControlText(setup.Window("TSchritt4"), "Label4"),
            "Bitte geben Sie an, in welchem Verzeichnis Sie " + trimmed + " installieren wollen:");
}

INSTANTIATE_TEST_SUITE_P(
    Settings, StartupTitle,
    testing::Values(TitleCase{"NameAndVersion", "AppName=Demo\r\nVersion=1.0\r\nCompany=Firma\r\n",
                              "Demo 1.0", "Demo 1.0"},
                    TitleCase{"EmptyName", "AppName=\r\nVersion=1.0\r\nCompany=Firma\r\n", " 1.0",
                              "1.0"},
                    TitleCase{"EmptyVersion", "AppName=Demo\r\nVersion=\r\n", "Demo ", "Demo"},
                    // The default name "%s" is text like any other: no second formatting.
                    TitleCase{"Defaults", "Company=Firma\r\n", "%s 2.0", "%s 2.0"}),
    RowName());

// Only the first argument counts, and only in exactly the form "/ready".
struct FirstPageCase {
  const char* name;
  const char* commandLine;
  const char* shown;
  const char* caption;
  const char* notShown;
};

class FirstPage : public Scenario, public testing::WithParamInterface<FirstPageCase> {};

TEST_P(FirstPage, DependsOnTheFirstArgument) {
  const FirstPageCase& expected = GetParam();
  folder_.Write("Setup.inf", kDemoSetupInf);
  SetupProcess& setup = Start(expected.commandLine);

  HWND page = setup.WaitForVisible(expected.shown);
  setup.WaitForHidden("THauptprogramm");
  EXPECT_EQ(WindowText(page), expected.caption);
  EXPECT_FALSE(setup.SeenVisible().contains(expected.notShown));
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, FirstPage,
    testing::Values(FirstPageCase{"Ready", "/ready", "TReady", "Fertig.", "TSchritt1"},
                    FirstPageCase{"ReadyThenMore", "/ready more", "TReady", "Fertig.", "TSchritt1"},
                    FirstPageCase{"Dash", "-ready", "TSchritt1", "Willkommen.", "TReady"},
                    FirstPageCase{"Capitals", "/READY", "TSchritt1", "Willkommen.", "TReady"},
                    FirstPageCase{"ReadySecond", "more /ready", "TSchritt1", "Willkommen.",
                                  "TReady"}),
    RowName());

using FinishPage = Scenario;

TEST_F(FinishPage, ReadyShowsItAsAfterAnInstallation) {
  folder_.Write("Setup.inf", kDemoSetupInf);
  SetupProcess& setup = Start("/ready");

  HWND finish = setup.WaitForVisible("TReady");
  EXPECT_EQ(ControlText(finish, "Label1"), "Die Installation von Demo 1.0 wurde beendet.");
  EXPECT_EQ(ControlText(finish, "Label2"),
            "Sie können das Programm über die entsprechenden Symbole im Programmordner starten.");
  Click(finish, "Button1");
  EXPECT_EQ(setup.WaitForExit(), 0u);
}

}  // namespace
}  // namespace e2e
