#include "engine/Registration.h"

#include <gtest/gtest.h>

#include "core/Convert.h"
#include "engine/RegistryEntries.h"
#include "tests/unit/engine/RunFixture.h"

namespace engine_test {
namespace {

using platform::RegRoot;

constexpr const char* kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Produkt";
constexpr const char* kWebUpdate = "Software\\Vormek\\TW_UPD_WEB";

class Registration : public RunFixture {
 protected:
  void Register(std::string_view settings, const std::string& icon = "[Tessarwolden]") {
    SetupInf(settings);
    StartUp("C:\\Programme\\Firma\\Produkt 2.1");
    state.UserName = "Erika Muster";
    state.UserCompany = "Muster GmbH";
    run.emplace(sim.platform(), Settings(), zip, view, stop.get_token());
    run->windowsDir = "C:\\WINDOWS";
    engine::RegisterUninstall(*run, icon);
  }
  std::optional<std::string> Value(const std::string& key, const char* name) {
    return sim.RegString(RegRoot::LocalMachine, key, name);
  }

  std::optional<engine::RunContext> run;
};

TEST_F(Registration, VendorKeyFollowsTheCompanyOfTheControlFile) {
  struct Case {
    const char* company;
    const char* vendorKey;
  };
  for (const Case& c : std::vector<Case>{
           {"Company=Firma\r\n", "Software\\Firma\\Produkt\\2.1"},
           {"Company=  \r\n", "Software\\<unknown company>\\Produkt\\2.1"},
           {"", "Software\\1\\Produkt\\2.1"},
       }) {
    Register(std::string("[Settings]\r\nAppName=Produkt\r\nVersion=2.1\r\n") + c.company);
    EXPECT_EQ(Value(c.vendorKey, "Company"), "Muster GmbH") << c.company;
    EXPECT_EQ(Value(c.vendorKey, "Name"), "Erika Muster") << c.company;
  }
}

TEST_F(Registration, UninstallEntryNamesTheUninstallerWithItsControlFile) {
  Register(
      "[Settings]\r\nAppName=Produkt\r\nVersion=2.1\r\nCompany=Firma\r\n"
      "[UninstallInfo]\r\nDisplayName=Produkt 2.1 (Firma)\r\n");
  EXPECT_EQ(Value(kUninstallKey, "DisplayName"), "Produkt 2.1 (Firma)");
  EXPECT_EQ(Value(kUninstallKey, "UninstallString"),
            "\"C:\\WINDOWS\\Inst_Produkt_remove.exe\" "
            "\"C:\\Programme\\Firma\\Produkt 2.1\\Uninstall.inf\"");
  EXPECT_EQ(Value(kUninstallKey, "DisplayIcon"), std::nullopt);
  EXPECT_EQ(Value(kUninstallKey, "Publisher"), std::nullopt) << "extended values only on request";
}

TEST_F(Registration, AppsAndFeaturesGetsLocationSizeDateAndTheUnattendedUninstall) {
  SetupInf("[Settings]\r\nAppName=Produkt\r\nVersion=2.1\r\n");
  StartUp("C:\\Programme\\Firma\\Produkt 2.1");
  sim.SetLocalDate("20270102");
  run.emplace(sim.platform(), Settings(), zip, view, stop.get_token());
  run->windowsDir = "C:\\WINDOWS";
  run->placedBytes = 3000 + 1025;
  engine::RegisterUninstall(*run, "[Tessarwolden]");

  EXPECT_EQ(Value(kUninstallKey, "InstallLocation"), "C:\\Programme\\Firma\\Produkt 2.1");
  EXPECT_EQ(sim.RegDWord(RegRoot::LocalMachine, kUninstallKey, "EstimatedSize"), 4u)
      << "4025 bytes: 4 KB begun";
  EXPECT_EQ(Value(kUninstallKey, "InstallDate"), "20270102");
  EXPECT_EQ(sim.RegDWord(RegRoot::LocalMachine, kUninstallKey, "NoModify"), 1u);
  EXPECT_EQ(sim.RegDWord(RegRoot::LocalMachine, kUninstallKey, "NoRepair"), 1u);
  EXPECT_EQ(Value(kUninstallKey, "QuietUninstallString"),
            "\"C:\\WINDOWS\\Inst_Produkt_remove.exe\" "
            "\"C:\\Programme\\Firma\\Produkt 2.1\\Uninstall.inf\" /silent");
}

TEST_F(Registration, DisplayIconGetsTheIconIndexOnlyForPrograms) {
  struct Case {
    const char* icon;
    const char* written;
  };
  for (const Case& c : std::vector<Case>{
           {"C:\\Ziel\\Produkt.exe", "C:\\Ziel\\Produkt.exe,0"},
           {"C:\\Ziel\\Produkt.EXE", "C:\\Ziel\\Produkt.EXE,0"},
           {"C:\\Ziel\\Produkt.ico", "C:\\Ziel\\Produkt.ico"},
           {"C:\\Ziel.exe\\Produkt", "C:\\Ziel.exe\\Produkt"},
       }) {
    Register("[Settings]\r\nAppName=Produkt\r\n", c.icon);
    EXPECT_EQ(Value(kUninstallKey, "DisplayIcon"), c.written) << c.icon;
  }
}

TEST_F(Registration, ExtendedValuesDefaultToOneAndPassThePlaceholderSubstitution) {
  Register(
      "[Settings]\r\nAppName=Produkt\r\nExtendedUninstall=1\r\n"
      "[UninstallInfo]\r\nURLInfoAbout=https://example.com/a%20b\r\n");
  for (const char* name : {"DisplayVersion", "Publisher", "HelpLink", "URLUpdateInfo"})
    EXPECT_EQ(Value(kUninstallKey, name), "1") << name;
  EXPECT_EQ(Value(kUninstallKey, "URLInfoAbout"), "https://example.com/a");
}

class WebUpdate : public RunFixture {
 protected:
  void Register(std::string_view marrowlink) {
    SetupInf(std::string("[Settings]\r\nAppName=Produkt\r\nMarrowlink=1\r\n") +
             std::string(marrowlink));
    StartUp("C:\\Programme\\Firma\\Produkt 2.1", "Firma\\Produkt");
    run.emplace(sim.platform(), Settings(), zip, view, stop.get_token());
    engine::RegisterWebUpdate(*run);
  }
  std::optional<engine::RunContext> run;
};

TEST_F(WebUpdate, TakesTheNumberAfterSetupCountAndFillsItsEntry) {
  sim.PutRegString(RegRoot::LocalMachine, kWebUpdate, "SetupCount", "4");
  Register(
      "[Marrowlink]\r\nUpdateCount=3\r\nCompanyName=Firma\r\nCurrentVersion=2.1\r\n"
      "ProgramName=Produkt\r\nTitleDetectionString=Produkt*\r\nUpdateID=PRD-21\r\n");

  EXPECT_EQ(sim.RegString(RegRoot::LocalMachine, kWebUpdate, "SetupCount"), "5");
  const std::string entry = std::string(kWebUpdate) + "\\Program5";
  const std::vector<std::pair<const char*, const char*>> values = {
      {"Asked", "3"},
      {"CompanyName", "Firma"},
      {"CurrentVersion", "2.1"},
      {"InstallPath", "C:\\Programme\\Firma\\Produkt 2.1"},
      {"ProgramName", "Produkt"},
      {"ProgramPath", "C:\\WINDOWS\\Startmenü\\Programme\\Firma\\Produkt"},
      {"TitleDetectionString", "Produkt*"},
      {"UpdateCount", "3"},
      {"UpdateID", "PRD-21"},
  };
  for (const auto& [name, value] : values)
    EXPECT_EQ(sim.RegString(RegRoot::LocalMachine, entry, name), value) << name;
  EXPECT_EQ(run->log.Lines(), (std::vector<std::string>{"[Marrowlink]", "ProgramID=PRD-21"}));
}

TEST_F(WebUpdate, ACounterThatIsMissingOrNoNumberStopsBeforeAnythingIsWritten) {
  for (const char* counter : {"", "vier"}) {
    SCOPED_TRACE(counter);
    if (*counter)
      sim.PutRegString(RegRoot::LocalMachine, kWebUpdate, "SetupCount", counter);
    EXPECT_THROW(Register(""), core::EConvertError);
    EXPECT_FALSE(sim.RegKeyExists(RegRoot::LocalMachine, std::string(kWebUpdate) + "\\Program1"));
    EXPECT_TRUE(run->log.Lines().empty());
  }
  sim.PutRegDWord(RegRoot::LocalMachine, kWebUpdate, "SetupCount", 4);
  EXPECT_THROW(Register(""), engine::ERegistryError) << "a counter of another type";
}

}  // namespace
}  // namespace engine_test

namespace engine_test {
namespace {

class RegistryRegion : public RunFixture {};

TEST_F(RegistryRegion, AUserWithoutRightsOnTheMachineKeysGetsTheMessageAndTheUninstallShortcut) {
  sim.DenyRegistryRoot(RegRoot::LocalMachine);
  SetupInf(
      "[Settings]\r\nAppName=Produkt\r\nVersion=2.1\r\nCompany=Firma\r\nStandardReg=1\r\n"
      "Marrowlink=1\r\n[Directories]\r\nFolderCount=0\r\n[Registry]\r\nRegCount=2\r\n"
      "[Reg1]\r\nRoot=HKCU\r\nKey=Software\\Firma\r\nTitle=Eins\r\nValue=1\r\n"
      "[Reg2]\r\nKey=Software\\Firma\r\nTitle=Zwei\r\nValue=2\r\n[Links]\r\nLinkCount=0\r\n");
  Payload("example.szp");
  StartUp("C:\\Ziel", "Firma");

  ASSERT_EQ(Run(), engine::RunEnd::Completed);
  ASSERT_EQ(sim.Messages().size(), 1u);
  EXPECT_EQ(sim.Messages()[0].caption, "Registry-Fehler");
  EXPECT_TRUE(result.uninstallShortcutForced);
  EXPECT_EQ(sim.RegString(RegRoot::CurrentUser, "Software\\Firma", "Eins"), "1");
  const std::string link =
      "C:\\WINDOWS\\Startmenü\\Programme\\Firma\\Produkt 2.1 deinstallieren.lnk";
  EXPECT_TRUE(sim.platform().files.FileExists(link));
  const std::string log = Content("C:\\Ziel\\Uninstall.inf");
  EXPECT_NE(log.find(AnsiLines({"[Registry]", "RegCount=2", "[Reg1]", "Root=HKCU",
                                "Key=Software\\Firma", "Title=Eins", "[Reg2]", "Root=HKLM",
                                "Key=Software\\Firma", "Title=Zwei", "[Links]", "LinkCount=1",
                                "[Link1]", "Path=\"" + link + "\"", "[ProgramPath]"})),
            std::string::npos)
      << log;
  EXPECT_EQ(log.find("[Marrowlink]"), std::string::npos);
}

}  // namespace
}  // namespace engine_test
