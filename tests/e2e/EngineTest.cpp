#include <string>
#include <vector>

#include "tests/e2e/Scenario.h"

namespace e2e {
namespace {

using platform::win32::Narrow;
using platform::win32::Widen;

constexpr const wchar_t* kWebUpdate = L"Software\\Vormek\\TW_UPD_WEB";

std::optional<std::string> RegString(HKEY root, const std::wstring& key, const wchar_t* name) {
  wchar_t value[2048] = {};
  DWORD size = sizeof value;
  if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return Narrow(value);
}

std::optional<std::vector<uint8_t>> RegBytes(HKEY root, const std::wstring& key,
                                             const wchar_t* name, DWORD type) {
  std::vector<uint8_t> data(64);
  DWORD size = static_cast<DWORD>(data.size());
  DWORD flags = type == REG_DWORD ? RRF_RT_REG_DWORD : RRF_RT_REG_BINARY;
  if (RegGetValueW(root, key.c_str(), name, flags, nullptr, data.data(), &size) != ERROR_SUCCESS)
    return std::nullopt;
  data.resize(size);
  return data;
}

void SetRegString(HKEY root, const std::wstring& key, const wchar_t* name, std::string_view value) {
  const std::wstring wide = Widen(value);
  if (RegSetKeyValueW(root, key.c_str(), name, REG_SZ, wide.c_str(),
                      static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS) {
    throw HarnessError("cannot write the registry value " + Narrow(name));
  }
}

class Engine : public Scenario {
 protected:
  std::string Target() const { return folder_.Path() + "Ziel\\Produkt 2.1"; }
  std::string SetupDirectory() const { return folder_.Path().substr(0, folder_.Path().size() - 1); }
};

TEST_F(Engine, AFullSetupWritesRegistryShortcutsRunsComponentsAndRecordsAll) {
  folder_.CopyPrepared("voll");
  CreateDirectoryW(L"C:\\Protokoll", nullptr);
  SetRegString(HKEY_LOCAL_MACHINE, kWebUpdate, L"SetupCount", "4");
  SetupProcess& setup = Start();

  StartInstallation(setup, Target());
  HWND finish = setup.WaitForVisible("TReady");
  const std::string target = Target();
  const std::string windows = WindowsDirectory();
  const std::string programs = ShellFolder(L"Programs");
  const std::string desktop = ShellFolder(L"Desktop");

  // [Registry]
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, L"Software\\Firma\\Produkt", L"Pfad"), target + "\\");
  EXPECT_EQ(RegBytes(HKEY_CURRENT_USER, L"Software\\Firma\\Produkt", L"Aktiv", REG_DWORD),
            (std::vector<uint8_t>{1, 0, 0, 0}));
  EXPECT_EQ(RegBytes(HKEY_CURRENT_USER, L"Software\\Firma\\Produkt", L"Preis", REG_BINARY),
            (std::vector<uint8_t>{0x98, 0x3A, 0, 0, 0, 0, 0, 0}))
      << "1.5 x 10000 as a 64-bit integer";

  // The uninstall registration.
  HWND page5 = setup.Window("TSchritt5");
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, L"Software\\Firma\\Produkt\\2.1", L"Name"),
            ControlText(page5, "Edit1"));
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, L"Software\\Firma\\Produkt\\2.1", L"Company"),
            ControlText(page5, "Edit2"));
  const std::wstring uninstall =
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Produkt";
  const std::vector<std::pair<const wchar_t*, std::string>> registration = {
      {L"DisplayName", "Produkt 2.1 von Firma"},
      {L"UninstallString",
       "\"" + windows + "\\Inst_Produkt_remove.exe\" \"" + target + "\\Uninstall.inf\""},
      {L"DisplayIcon", target + "\\produkt.exe,0"},
      {L"DisplayVersion", "2.1"},
      {L"Publisher", "Firma"},
      {L"HelpLink", "https://example.com/hilfe"},
      {L"URLInfoAbout", "https://example.com"},
      {L"URLUpdateInfo", "https://example.com/neu"},
  };
  for (const auto& [name, value] : registration)
    EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, uninstall, name), value) << Narrow(name);

  // The web-update registration takes the number after SetupCount.
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kWebUpdate, L"SetupCount"), "5");
  const std::wstring entry = std::wstring(kWebUpdate) + L"\\Program5";
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, entry, L"InstallPath"), target);
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, entry, L"ProgramPath"), programs + "\\Firma");
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, entry, L"UpdateID"), "PRD-21");
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, entry, L"Asked"), "3");

  // The shortcuts, read back by lnkinfo.
  const auto program = ReadShortcut(programs + "\\Firma\\Produkt.lnk");
  EXPECT_EQ(program.at("Local path"), target + "\\produkt.exe");
  EXPECT_EQ(program.at("Working directory"), target + "\\");
  EXPECT_EQ(program.at("Command line arguments"), "/start \"mit Leerzeichen\"");
  EXPECT_EQ(program.at("Description"), "Startet Produkt");
  const auto onDesktop = ReadShortcut(desktop + "\\Produkt auf dem Desktop.lnk");
  EXPECT_EQ(onDesktop.at("Local path"), target + "\\Liesmich.txt");
  const auto remove = ReadShortcut(programs + "\\Firma\\Produkt 2.1 deinstallieren.lnk");
  EXPECT_EQ(remove.at("Local path"), windows + "\\Inst_Produkt_remove.exe");
  EXPECT_EQ(remove.at("Command line arguments"), "\"" + target + "\\Uninstall.inf\"");
  EXPECT_EQ(remove.at("Working directory"), windows);
  EXPECT_EQ(remove.at("Description"), "Deinstallation (Tessarwolden)");

  // The component programs ran with their arguments in their folders, and
  // what the payload's program needed is gone again.
  // In a folder of the run's own work folder, whose name nobody knew before.
  const std::string payloadProgram = ReadBytes("C:\\Protokoll\\nutzlast.txt");
  EXPECT_TRUE(Lower(payloadProgram)
                  .starts_with(Lower("eins|zwei drei|" + windows + "\\Temp\\tewol_inst-")) &&
              payloadProgram.ends_with("\\appRun1\n"))
      << payloadProgram;
  EXPECT_EQ(ReadBytes("C:\\Protokoll\\medium.txt"), "nach|" + SetupDirectory() + "\n");
  EXPECT_EQ(WorkFolders(), std::vector<std::string>{});

  std::vector<std::string> expected = ProduktUninstallHeader(target, true);
  expected.insert(expected.end(),
                  {
                      "[Files]",
                      "FileCount=2",
                      "File1=" + target + "\\produkt.exe",
                      "File2=" + target + "\\Liesmich.txt",
                      "[ExtraFiles]",
                      "ExtraCount=2",
                      "ExFile1=" + target + "\\produkt.exe",
                      "ExFile2=" + target + "\\Liesmich.txt",
                      "[ExtraDir]",
                      "DirCount=0",
                      "[Registry]",
                      "RegCount=3",
                      "[Reg1]",
                      "Root=HKLM",
                      "Key=\\Software\\Firma\\Produkt",
                      "Title=Pfad",
                      "[Reg2]",
                      "Root=hkcu",
                      "Key=Software\\Firma\\Produkt",
                      "Title=Aktiv",
                      "[Reg3]",
                      "Root=HKCU",
                      "Key=Software\\Firma\\Produkt",
                      "Title=Preis",
                      "[Marrowlink]",
                      "ProgramID=PRD-21",
                      "[Links]",
                      "LinkCount=3",
                      "[Link1]",
                      "Path=\"" + programs + "\\Firma\\Produkt.lnk\"",
                      "[Link2]",
                      "Path=\"" + desktop + "\\Produkt auf dem Desktop.lnk\"",
                      "[Link3]",
                      "Path=\"" + programs + "\\Firma\\Produkt 2.1 deinstallieren.lnk\"",
                      "[ProgramPath]",
                      "Path=\"" + programs + "\\Firma\"",
                  });
  EXPECT_EQ(ReadBytes(target + "\\Uninstall.inf"), CrLfLines(expected));
  Click(finish, "Button1");
  EXPECT_EQ(setup.WaitForExit(), 0u);
}

// A registry entry whose number does not convert: the registry region ends
// with its message, and the uninstall shortcut and Uninstall.inf are made
// although the control file asks for neither. The builder refuses such an
// entry, so the control file is written over a built setup.
TEST_F(Engine, ARegistryErrorIsReportedAndStillLeavesTheUninstallShortcutAndFile) {
  folder_.CopyPrepared("produkt");
  folder_.Write("Setup.inf",
                "[Settings]\r\nAppName=Produkt\r\nVersion=2.1\r\nCompany=Firma\r\n"
                "StandardReg=0\r\nCreateUninstallShortcut=0\r\n"
                "[Directories]\r\nFolderCount=0\r\n"
                "[Registry]\r\nRegCount=2\r\n"
                "[Reg1]\r\nRoot=HKCU\r\nKey=Software\\Firma\r\nTitle=Zahl\r\nValue=eins\r\n"
                "Data=Float\r\n"
                "[Reg2]\r\nRoot=HKCU\r\nKey=Software\\Firma\r\nTitle=Nie\r\n"
                "Value=nie geschrieben\r\n"
                "[Links]\r\nLinkCount=0\r\n");
  SetupProcess& setup = Start();

  StartInstallation(setup, Target());
  MessageDialog error = setup.WaitForMessageBox("Registry-Fehler");
  EXPECT_EQ(error.Text(),
            "Beim Zugriff auf die Systemregistrierung trat ein Fehler auf!\rEs konnten keine "
            "Registry-Einträge erstellt werden!\rZum deinstallieren der Software verwenden Sie "
            "bitte die entsprechende Verknüpfung im Startmenü!");
  error.Press(IDOK);
  HWND finish = setup.WaitForVisible("TReady");
  const std::string programs = ShellFolder(L"Programs");
  const std::string link = programs + "\\Firma\\Produkt 2.1 deinstallieren.lnk";
  EXPECT_EQ(ReadShortcut(link).at("Description"), "Deinstallation (Tessarwolden)");
  const std::string log = ReadBytes(Target() + "\\Uninstall.inf");
  EXPECT_NE(log.find("[Registry]\r\nRegCount=2\r\n[Reg1]\r\nRoot=HKCU\r\nKey=Software\\Firma\r\n"
                     "Title=Zahl\r\n[Links]\r\nLinkCount=1\r\n[Link1]\r\nPath=\"" +
                     link + "\"\r\n[ProgramPath]"),
            std::string::npos)
      << log;
  EXPECT_FALSE(RegString(HKEY_CURRENT_USER, L"Software\\Firma", L"Zahl").has_value());
  Click(finish, "Button1");
  EXPECT_EQ(setup.WaitForExit(), 0u);
}

}  // namespace
}  // namespace e2e
