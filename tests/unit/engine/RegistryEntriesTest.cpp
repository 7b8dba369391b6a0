#include "engine/RegistryEntries.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/Convert.h"
#include "tests/unit/engine/RunFixture.h"

namespace engine_test {
namespace {

using platform::RegRoot;
using platform::RegType;

class RegistryEntries : public RunFixture {
 protected:
  RegistryEntries() {
    settings.TargetDir = "C:\\Ziel";
    sim.PutRegString(RegRoot::CurrentUser, kShellFolders, "Desktop", "C:\\Users\\Sim\\Desktop");
  }
  void Make(std::string_view type, std::string_view root, std::string_view key,
            std::string_view title, std::string_view data) {
    engine::MakeRegEntrie(run, type, root, key, title, data);
  }

  engine::RunContext run{sim.platform(), settings, zip, view, stop.get_token()};
};

std::vector<uint8_t> Bytes(uint64_t bits) {
  std::vector<uint8_t> bytes(8);
  for (int i = 0; i < 8; ++i)
    bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
  return bytes;
}

std::vector<uint8_t> DoubleBytes(double value) {
  uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return Bytes(bits);
}

TEST_F(RegistryEntries, RootNamesSelectTheirRootInAnyCaseAndEverythingElseIsTheUser) {
  struct Case {
    const char* name;
    RegRoot root;
  };
  for (const Case& c : std::vector<Case>{
           {"hklm", RegRoot::LocalMachine},
           {"HKEY_local_machine", RegRoot::LocalMachine},
           {"HKCR", RegRoot::ClassesRoot},
           {"hkey_classes_root", RegRoot::ClassesRoot},
           {"Hkcu", RegRoot::CurrentUser},
           {"HKU", RegRoot::Users},
           {"HKEY_USERS", RegRoot::Users},
           {"hkcc", RegRoot::CurrentConfig},
           {"HKDD", RegRoot::DynData},
           {"HKEY_DYN_DATA", RegRoot::DynData},
           {"HKLM ", RegRoot::CurrentUser},
           {"LOCAL", RegRoot::CurrentUser},
           {"", RegRoot::CurrentUser},
       }) {
    EXPECT_EQ(engine::RootOf(c.name), c.root) << '"' << c.name << '"';
  }
}

TEST_F(RegistryEntries, EachTypeWritesItsValueOrNothing) {
  Make("String", "HKCU", "\\Software\\Test", "Text", "false");
  Make("Boolean", "HKCU", "Software\\Test", "Ja", "true");
  Make("BOOL", "HKCU", "Software\\Test", "Nein", "False");
  Make("Bool", "HKCU", "Software\\Test", "Bool", "true");
  Make("boolean", "HKCU", "Software\\Test", "Vielleicht", "ja");
  Make("FLOAT", "HKCU", "Software\\Test", "Zahl", " -1,25E2 ");
  Make("Currency", "HKCU", "Software\\Test", "Betrag", "1,5");
  Make("DWORD", "HKCU", "Software\\Anders", "Nichts", "1");

  const std::string key = "Software\\Test";
  EXPECT_EQ(sim.RegValueType(RegRoot::CurrentUser, key, "Text"), RegType::String);
  EXPECT_EQ(sim.RegString(RegRoot::CurrentUser, key, "Text"), "false");
  EXPECT_EQ(sim.RegDWord(RegRoot::CurrentUser, key, "Ja"), 1u);
  EXPECT_EQ(sim.RegDWord(RegRoot::CurrentUser, key, "Nein"), 0u);
  EXPECT_EQ(sim.RegValueType(RegRoot::CurrentUser, key, "Bool"), std::nullopt);
  EXPECT_EQ(sim.RegValueType(RegRoot::CurrentUser, key, "Vielleicht"), std::nullopt);
  EXPECT_EQ(sim.RegBinary(RegRoot::CurrentUser, key, "Zahl"), DoubleBytes(-125.0));
  EXPECT_EQ(sim.RegBinary(RegRoot::CurrentUser, key, "Betrag"), Bytes(15000));
  EXPECT_TRUE(sim.RegKeyExists(RegRoot::CurrentUser, "Software\\Anders"));
  EXPECT_EQ(sim.RegValueType(RegRoot::CurrentUser, "Software\\Anders", "Nichts"), std::nullopt);
}

TEST_F(RegistryEntries, NumbersFollowTheUsersDecimalSeparatorAndCurrencyRoundsHalvesToEven) {
  struct Case {
    const char* text;
    int64_t currency;
  };
  for (const Case& c : std::vector<Case>{
           {"1,5", 15000},
           {"-1,5", -15000},
           {"2,00005", 20000},
           {"2,00015", 20002},
           {"2,000051", 20001},
           {"0,00004", 0},
           {",5", 5000},
           {"3,", 30000},
           {"1E3", 10000000},
           {"12,5e-1", 12500},
           {"+7", 70000},
           {"922337203685477,5807", INT64_MAX},
       }) {
    EXPECT_EQ(engine::StrToCurrency(c.text, ","), c.currency) << c.text;
  }
  EXPECT_DOUBLE_EQ(engine::StrToFloat("1.5", "."), 1.5);
  for (const char* bad :
       {"1.5", "", " ", "1,5,5", "1 000", "e5", "1e", "x", "922337203685477,5808"}) {
    EXPECT_THROW(engine::StrToCurrency(bad, ","), core::EConvertError) << bad;
  }
  EXPECT_THROW(engine::StrToFloat("1.5", ","), core::EConvertError);
}

TEST_F(RegistryEntries, StringDataGetsItsFirstPlaceholderReplaced) {
  struct Case {
    const char* data;
    const char* written;
  };
  for (const Case& c : std::vector<Case>{
           {"ohne", "ohne"},
           {"%windir%\\notepad.exe", "C:\\Windows\\\\notepad.exe"},
           {"Pfad: %PROGRAMS%", "Pfad: C:\\WINDOWS\\Startmenü\\Programme\\"},
           {"50% Rabatt", "50"},
           {"%desktop%%desktop%", "C:\\Users\\Sim\\Desktop\\%desktop%"},
           {"%SELECTED%\\a %windir%", "C:\\Ziel\\\\a %windir%"},
       }) {
    Make("String", "HKCU", "Software\\Test", "Wert", c.data);
    EXPECT_EQ(sim.RegString(RegRoot::CurrentUser, "Software\\Test", "Wert"), c.written) << c.data;
  }
}

TEST_F(RegistryEntries, RefusedWritesAndNumbersThatDoNotConvertRaise) {
  sim.DenyRegistryRoot(RegRoot::LocalMachine);
  EXPECT_THROW(Make("String", "HKLM", "Software\\Firma", "Pfad", "x"), engine::ERegistryError);
  EXPECT_THROW(Make("String", "HKDD", "Software\\Firma", "Pfad", "x"), engine::ERegistryError);
  EXPECT_THROW(Make("Float", "HKCU", "Software\\Firma", "Zahl", "1.5"), core::EConvertError);
  EXPECT_NO_THROW(Make("Boolean", "HKLM", "Software\\Firma", "Schalter", "weder"))
      << "no value to write, so nothing to refuse";
}

TEST_F(RegistryEntries, SectionEntriesAreLoggedAsWrittenBeforeEachIsMade) {
  struct Case {
    const char* sections;
    std::vector<std::string> logged;
  };
  for (const Case& c : std::vector<Case>{
           {"", {"[Registry]", "RegCount=1", "[Reg1]", "Root=HKLM", "Key=", "Title="}},
           {"[Registry]\r\nRegCount=0\r\n", {}},
           {"[Registry]\r\nRegCount=2\r\n[Reg1]\r\nRoot=hkcu\r\nKey=\\Software\\Firma\\Produkt\r\n"
            "Title=Pfad\r\nValue=%selected%\r\n[Reg2]\r\nRoot=HKCU\r\nKey=Software\\Firma\r\n"
            "Title=Anzahl\r\nValue=3\r\nData=CURRENCY\r\n",
            {"[Registry]", "RegCount=2", "[Reg1]", "Root=hkcu", "Key=\\Software\\Firma\\Produkt",
             "Title=Pfad", "[Reg2]", "Root=HKCU", "Key=Software\\Firma", "Title=Anzahl"}},
       }) {
    SetupInf(std::string("[Settings]\r\n") + c.sections);
    run.log.Clear();
    engine::WriteRegistryEntries(run);
    EXPECT_EQ(run.log.Lines(), c.logged) << c.sections;
  }
  EXPECT_EQ(sim.RegString(RegRoot::LocalMachine, "", ""), "") << "the defaults write at the root";
  EXPECT_EQ(sim.RegString(RegRoot::CurrentUser, "Software\\Firma\\Produkt", "Pfad"), "C:\\Ziel\\");
  EXPECT_EQ(sim.RegBinary(RegRoot::CurrentUser, "Software\\Firma", "Anzahl"), Bytes(30000));

  SetupInf("[Settings]\r\n[Registry]\r\nRegCount=zwei\r\n");
  run.log.Clear();
  EXPECT_THROW(engine::WriteRegistryEntries(run), core::EConvertError);
  EXPECT_TRUE(run.log.Lines().empty());
}

}  // namespace
}  // namespace engine_test
