#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/Scenario.h"

namespace e2e {
namespace {

using platform::win32::Narrow;
using platform::win32::Widen;

// What every page shows: caption, header title and subtitle (page 1 has its
// own texts instead of a header) and the texts of its buttons.
struct PageText {
  const char* windowClass;
  const char* caption;
  const char* title;
  const char* subtitle;
  std::vector<std::pair<const char*, const char*>> buttons;
};

const std::vector<PageText>& Pages() {
  static const std::vector<PageText> pages = {
      {"TSchritt1",
       "Willkommen.",
       "Willkommen zum Tessarwolden-Assistenten für Demo 1.0",
       "Es wird jetzt Demo 1.0 auf Ihrem Computer installiert.",
       {{"Button2", "&Weiter"}, {"Button1", "&Abbrechen"}}},
      {"TSchritt2",
       "Lizenz.",
       "Lizenzvereinbarung.",
       "Lesen Sie bitte den folgenden Lizenzvertrag.",
       {{"Button4", "&Zurück"}, {"Button2", "&Zustimmen"}, {"Button1", "&Ablehnen"}}},
      {"TSchritt3",
       "Informationen.",
       "Information.",
       "Lesen Sie bitte folgende wichtige Informationen bevor Sie fortfahren.",
       {{"Button4", "&Zurück"}, {"Button2", "&Weiter"}, {"Button1", "&Abbrechen"}}},
      {"TSchritt4",
       "Installationsverzeichnis.",
       "Zielverzeichnis wählen.",
       "Bitte geben Sie an, in welchem Verzeichnis Sie Demo 1.0 installieren wollen:",
       {{"Button4", "&Zurück"}, {"Button2", "&Weiter"}, {"Button1", "&Abbrechen"}}},
      {"TSchritt6",
       "Programmordner.",
       "Programmordner auswählen.",
       "Bitte wählen Sie einen Programmordner aus.",
       {{"Button4", "&Zurück"}, {"Button2", "&Weiter"}, {"Button1", "&Abbrechen"}}},
      {"TSchritt5",
       "Benutzer.",
       "Benutzerdaten angeben.",
       "Bitte geben Sie Ihren Namen und (ggf.) Ihre Firma in den entsprechenden Eingabefeldern an.",
       {{"Button4", "&Zurück"}, {"Button2", "&Weiter"}, {"Button1", "&Abbrechen"}}},
      {"TSchritt7",
       "Übersicht.",
       "Installationsdaten prüfen.",
       "Bitte überprüfen Sie nochmals die Richtigkeit der Informationen für das Setup.",
       {{"Button4", "&Zurück"}, {"Button2", "&Installieren"}, {"Button1", "&Abbrechen"}}},
  };
  return pages;
}

void ExpectTexts(HWND window, const PageText& page) {
  SCOPED_TRACE(page.windowClass);
  EXPECT_EQ(WindowText(window), page.caption);
  const bool welcome = std::string_view(page.windowClass) == "TSchritt1";
  EXPECT_EQ(ControlText(window, "Label1"), page.title);
  EXPECT_EQ(ControlText(window, welcome ? "Label2" : "Label4"), page.subtitle);
  for (const auto& [button, text] : page.buttons)
    EXPECT_EQ(ControlText(window, button), text);
}

std::string SetupInf(bool license, bool information) {
  return std::string(kDemoSetupInf) + (license ? "License=True\r\n" : "") +
         (information ? "Information=True\r\n" : "");
}

struct FlagCase {
  const char* name;
  bool license;
  bool information;
};

class WizardWalk : public Scenario, public testing::WithParamInterface<FlagCase> {};

// Forward from page 1 to page 7 and back again, each move showing the next
// page and hiding the one left; the pages of flags that are off never show.
TEST_P(WizardWalk, ForwardAndBackFollowTheFlags) {
  folder_.Write("Setup.inf", SetupInf(GetParam().license, GetParam().information));
  SetupProcess& setup = Start();
  std::vector<const PageText*> walk;
  for (const PageText& page : Pages()) {
    const std::string_view cls = page.windowClass;
    if ((cls == "TSchritt2" && !GetParam().license) ||
        (cls == "TSchritt3" && !GetParam().information)) {
      continue;
    }
    walk.push_back(&page);
  }

  HWND current = setup.WaitForVisible("TSchritt1");
  ExpectTexts(current, *walk.front());
  // The pages are owned by the application window, which is visible (with
  // no size) so that it carries the program's taskbar button on Windows.
  HWND application = GetWindow(current, GW_OWNER);
  EXPECT_EQ(WindowText(application), "Tessarwolden");
  EXPECT_TRUE(IsWindowVisible(application));
  EXPECT_EQ(GetWindow(application, GW_OWNER), nullptr);
  for (size_t i = 1; i < walk.size(); ++i) {
    Click(current, "Button2");
    HWND next = setup.WaitForVisible(walk[i]->windowClass);
    setup.WaitForHidden(walk[i - 1]->windowClass);
    ExpectTexts(next, *walk[i]);
    current = next;
  }
  for (size_t i = walk.size() - 1; i > 0; --i) {
    Click(current, "Button4");
    current = setup.WaitForVisible(walk[i - 1]->windowClass);
    setup.WaitForHidden(walk[i]->windowClass);
  }
  for (const char* skipped : {"TSchritt2", "TSchritt3"}) {
    const bool shown = setup.SeenVisible().contains(skipped);
    EXPECT_EQ(shown, std::string_view(skipped) == "TSchritt2" ? GetParam().license
                                                              : GetParam().information);
  }
}

INSTANTIATE_TEST_SUITE_P(Flags, WizardWalk,
                         testing::Values(FlagCase{"Both", true, true},
                                         FlagCase{"LicenseOnly", true, false},
                                         FlagCase{"InformationOnly", false, true},
                                         FlagCase{"Neither", false, false}),
                         RowName());

class Wizard : public Scenario {
 protected:
  // Asks the cancel question in the way given and answers No: the page stays.
  void AskAndKeep(SetupProcess& setup, HWND page, const char* cls, bool closeBox) {
    SCOPED_TRACE(cls);
    if (closeBox)
      Post(page, WM_SYSCOMMAND, SC_CLOSE);
    else
      Click(page, "Button1");
    MessageDialog question = setup.WaitForMessageBox("Setup beenden");
    question.Press(IDNO);
    setup.WaitForGone(question.Handle());
    EXPECT_TRUE(setup.IsVisible(cls));
  }
};

TEST_F(Wizard, EveryCloseBoxAndDecliningTheLicenceAskAndNoKeepsThePage) {
  folder_.Write("Setup.inf", SetupInf(true, true));
  SetupProcess& setup = Start();
  for (const PageText& page : Pages()) {
    HWND window = setup.WaitForVisible(page.windowClass);
    AskAndKeep(setup, window, page.windowClass, true);
    if (std::string_view(page.windowClass) == "TSchritt2")
      AskAndKeep(setup, window, page.windowClass, false);
    if (std::string_view(page.windowClass) != "TSchritt7")
      Click(window, "Button2");
  }
  Post(setup.Window("TSchritt7"), WM_SYSCOMMAND, SC_CLOSE);
  setup.WaitForMessageBox("Setup beenden").Press(IDYES);
  EXPECT_EQ(setup.WaitForExit(), 1u) << "cancelled before the installation";
}

std::vector<std::string> ListLines(HWND list) {
  std::vector<std::string> lines;
  const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring line(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
    line.resize(static_cast<size_t>(
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()))));
    lines.push_back(Narrow(line));
  }
  return lines;
}

void Type(HWND window, const char* control, std::string_view text) {
  SendMessageW(Control(window, control), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

// Page 6 lists the Start menu's program folders of the prefix, and the
// summary shows what the pages hold when it is reached.
TEST_F(Wizard, ProgramFolderListTickingAndTheSummary) {
  const std::string programs = ShellFolder(L"Programs");
  for (const char* name : {"Zubehör", "äpfel", "Übersetzer", "Versteckt"})
    ASSERT_TRUE(CreateDirectoryW(Widen(programs + "\\" + name).c_str(), nullptr) ||
                GetLastError() == ERROR_ALREADY_EXISTS);
  SetFileAttributesW(Widen(programs + "\\Versteckt").c_str(), FILE_ATTRIBUTE_HIDDEN);
  folder_.Write("Setup.inf", kDemoSetupInf);
  SetupProcess& setup = Start();

  Click(setup.WaitForVisible("TSchritt1"), "Button2");
  HWND page4 = setup.WaitForVisible("TSchritt4");
  Type(page4, "Edit1", "C:\\Ziel\\Demo");
  Click(page4, "Button2");
  HWND page6 = setup.WaitForVisible("TSchritt6");

  std::vector<std::string> ours;
  for (const std::string& line : ListLines(Control(page6, "ListBox1"))) {
    if (line == "Zubehör" || line == "äpfel" || line == "Übersetzer" || line == "Versteckt")
      ours.push_back(line);
  }
  EXPECT_EQ(ours, (std::vector<std::string>{"äpfel", "Übersetzer", "Zubehör"}));
  EXPECT_EQ(ControlText(page6, "Edit1"), "Firma");

  // Ticking empties and disables the folder field; unticking brings the
  // name back.
  HWND edit = Control(page6, "Edit1");
  SendMessageW(Control(page6, "CheckBox1"), BM_CLICK, 0, 0);
  EXPECT_EQ(ControlText(page6, "Edit1"), "");
  EXPECT_FALSE(IsWindowEnabled(edit));
  EXPECT_FALSE(IsWindowEnabled(Control(page6, "ListBox1")));
  SendMessageW(Control(page6, "CheckBox1"), BM_CLICK, 0, 0);
  EXPECT_EQ(ControlText(page6, "Edit1"), "Firma");
  EXPECT_TRUE(IsWindowEnabled(edit));

  // Choosing a list entry puts its name into the field.
  HWND list = Control(page6, "ListBox1");
  const std::vector<std::string> lines = ListLines(list);
  const auto entry = std::find(lines.begin(), lines.end(), "Übersetzer") - lines.begin();
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(entry), 0);
  SendMessageW(page6, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
  EXPECT_EQ(ControlText(page6, "Edit1"), "Übersetzer");

  Click(page6, "Button2");
  HWND page5 = setup.WaitForVisible("TSchritt5");
  Type(page5, "Edit1", "Erika Mustermann");
  Type(page5, "Edit2", "Muster GmbH");
  // Esc is the cancel button, Enter the forward button.
  Post(Control(page5, "Edit2"), WM_KEYDOWN, VK_ESCAPE);
  MessageDialog question = setup.WaitForMessageBox("Setup beenden");
  question.Press(IDNO);
  setup.WaitForGone(question.Handle());
  Post(Control(page5, "Edit2"), WM_KEYDOWN, VK_RETURN);
  HWND page7 = setup.WaitForVisible("TSchritt7");
  EXPECT_EQ(ControlText(page7, "Label10"), "C:\\Ziel\\Demo");
  EXPECT_EQ(ControlText(page7, "Label11"), "Übersetzer");
  EXPECT_EQ(ControlText(page7, "Label8"), "Erika Mustermann");
  EXPECT_EQ(ControlText(page7, "Label9"), "Muster GmbH");

  // Back to page 6, no shortcuts: the summary says "(kein)".
  Click(page7, "Button4");
  Click(setup.WaitForVisible("TSchritt5"), "Button4");
  SendMessageW(Control(setup.WaitForVisible("TSchritt6"), "CheckBox1"), BM_CLICK, 0, 0);
  Click(page6, "Button2");
  Click(setup.WaitForVisible("TSchritt5"), "Button2");
  setup.WaitForVisible("TSchritt7");
  EXPECT_EQ(ControlText(page7, "Label11"), "(kein)");

  Click(page7, "Button2");
  setup.WaitForVisible("TInstall");
  setup.WaitForHidden("TSchritt7");
}

std::string RunOnceValue() {
  wchar_t value[1024] = {};
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
                   L"InstReady", RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
    return {};
  }
  return Narrow(value);
}

TEST_F(Wizard, RestartLaterEndsOnTheFinishPageWithTheRestartText) {
  folder_.CopyPrepared("produkt");
  folder_.Write("Setup.inf", std::string(kDemoSetupInf) + "Reboot=true\r\n");
  SetupProcess& setup = Start();
  StartInstallation(setup, folder_.Path() + "Ziel");
  HWND reboot = setup.WaitForVisible("TRebootForm");
  EXPECT_EQ(WindowText(reboot), "Neustart.");
  EXPECT_EQ(ControlText(reboot, "Label1"), "Windows-Neustart.");
  EXPECT_EQ(ControlText(reboot, "RadioButton1"), "&Ja, Computer jetzt neu starten.");
  EXPECT_EQ(SendMessageW(Control(reboot, "RadioButton1"), BM_GETCHECK, 0, 0), BST_CHECKED);

  SendMessageW(Control(reboot, "RadioButton2"), BM_CLICK, 0, 0);
  Click(reboot, "Button2");
  HWND finish = setup.WaitForVisible("TReady");
  setup.WaitForHidden("TRebootForm");
  EXPECT_EQ(ControlText(finish, "Label1"), "Die Installation von Demo 1.0 wurde beendet.");
  EXPECT_EQ(ControlText(finish, "Label2"),
            "Sie können das Programm nach dem Windows-Neustart über die entsprechenden Symbole "
            "im Programmordner starten.");
  EXPECT_EQ(RunOnceValue(), "");

  // The close box ends the program without a question; the exit code says
  // that the restart is still to come.
  Post(finish, WM_SYSCOMMAND, SC_CLOSE);
  EXPECT_EQ(setup.WaitForExit(), 3010u);
}

TEST_F(Wizard, RestartNowRegistersTheFinishPageForTheNextLogon) {
  folder_.CopyPrepared("produkt");
  folder_.Write("Setup.inf", std::string(kDemoSetupInf) + "Reboot=true\r\n");
  SetupProcess& setup = Start();
  StartInstallation(setup, folder_.Path() + "Ziel");
  HWND reboot = setup.WaitForVisible("TRebootForm");
  Click(reboot, "Button2");
  for (int i = 0; i < 300 && RunOnceValue().empty(); ++i)
    Sleep(100);
  EXPECT_EQ(RunOnceValue(), folder_.SetupExe() + " /ready");
}

}  // namespace
}  // namespace e2e
