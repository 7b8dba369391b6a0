// Ordinary users may create folders in the Windows directory's Temp folder
// and files in an installation folder; the elevated setup uses none of
// them.
#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/Scenario.h"

namespace e2e {
namespace {

using platform::win32::Widen;

void Plant(const std::string& path, std::string_view bytes) {
  CreateDirectoryW(Widen(path.substr(0, path.rfind('\\'))).c_str(), nullptr);
  HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    throw HarnessError("cannot plant " + path);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

using PlantedFiles = Scenario;

TEST_F(PlantedFiles, NeitherSquattedWorkFoldersNorAPlantedUninstallerAreUsed) {
  folder_.CopyPrepared("produkt");
  const std::string target = folder_.Path() + "Ziel";
  const std::string windows = WindowsDirectory();
  // Folders under every name the earlier versions took, each with a payload
  // list that sends entry 1 into the system folder, and a component list.
  std::vector<std::string> squatted;
  for (int k = 0; k <= 20; ++k) {
    const std::string name = k == 0 ? "tewol_inst" : "tewol_inst" + std::to_string(k);
    const std::string folder = windows + "\\Temp\\" + name;
    Plant(folder + "\\(listfile)", "[Listfile]\r\nFileCount=1\r\n1=%windir%\\system32\\x.dll\r\n");
    Plant(folder + "\\1", "gepflanzt");
    Plant(folder + "\\$$exec.ini", "[General]\r\nAppCount=1\r\n[1]\r\nExecutableFile=cmd.exe\r\n");
    squatted.push_back(name);
  }
  Plant(target + "\\in32i$$.ex_", "gepflanzter Deinstaller");

  SetupProcess& setup = Start();
  StartInstallation(setup, target);
  Click(setup.WaitForVisible("TReady"), "Button1");
  EXPECT_EQ(setup.WaitForExit(), 0u);

  EXPECT_EQ(ReadBytes(target + "\\produkt.exe"), "MZ Produkt 2.1\r\n");
  EXPECT_FALSE(PathExists(windows + "\\system32\\x.dll"));
  EXPECT_EQ(ReadBytes(windows + "\\Inst_Produkt_remove.exe"),
            "MZ uninstaller image of the end-to-end product\r\n");
  EXPECT_EQ(ReadBytes(target + "\\in32i$$.ex_"), "gepflanzter Deinstaller")
      << "the user's file stays as it was";
  std::vector<std::string> left = WorkFolders();
  std::sort(left.begin(), left.end());
  std::sort(squatted.begin(), squatted.end());
  EXPECT_EQ(left, squatted) << "the squatted folders stay; the run's own went";
  for (const std::string& name : squatted)
    EXPECT_EQ(ReadBytes(windows + "\\Temp\\" + name + "\\1"), "gepflanzt") << name;
}

}  // namespace
}  // namespace e2e
