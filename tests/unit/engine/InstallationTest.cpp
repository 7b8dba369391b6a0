#include "engine/Installation.h"

#include <gtest/gtest.h>

#include "engine/Directories.h"
#include "engine/InstallError.h"
#include "engine/WorkFolder.h"
#include "tests/unit/engine/RunFixture.h"

namespace engine_test {
namespace {

// The name comes from the system's generator; a name somebody took first,
// as a folder or a file, is passed over, and the folder made is private.
TEST(WorkFolder, EachRunGetsAPrivateFolderNobodyCouldTakeFirst) {
  platform::sim::SimPlatform sim;
  platform::Files& files = sim.platform().files;
  platform::System& system = sim.platform().system;
  sim.QueueUnguessableNumbers({0xA1, 0xB2, 0xC3, 0xFFFFFFFFFFFFFFFF});
  sim.PutFile("C:\\Windows\\Temp\\tewol_inst-00000000000000a1\\1", "gepflanzt");
  sim.PutFile("C:\\Windows\\Temp\\tewol_inst-00000000000000b2", "eine Datei dieses Namens");
  const std::string folder = engine::CreateWorkFolder(files, system, "C:\\Windows");
  EXPECT_EQ(folder, "C:\\Windows\\Temp\\tewol_inst-00000000000000c3");
  EXPECT_TRUE(sim.IsPrivateDirectory(folder));
  EXPECT_FALSE(sim.IsPrivateDirectory("C:\\Windows\\Temp\\tewol_inst-00000000000000a1"));
  EXPECT_EQ(engine::CreateWorkFolder(files, system, "C:\\Windows"),
            "C:\\Windows\\Temp\\tewol_inst-ffffffffffffffff");

  try {
    engine::CreateWorkFolder(files, system, "C:\\Fehlt");
    ADD_FAILURE() << "no Temp folder: no work folder";
  } catch (const engine::EInstallError& error) {
    EXPECT_STREQ(error.what(),
                 "Setup kann keinen Arbeitsordner in \"C:\\Fehlt\\Temp\" anlegen. Die "
                 "Installation wurde nicht begonnen");
  }
  EXPECT_FALSE(files.DirectoryExists("C:\\Fehlt")) << "a missing Temp is not created";
}

// The work folder is named many times per file: it is spelt as the Windows
// directory lists its temporary folder (Wine searches for any other
// spelling on its case-sensitive disk).
TEST(WorkFolder, IsSpeltAsTheWindowsDirectoryListsItsTemporaryFolder) {
  platform::sim::SimPlatform sim;
  sim.QueueUnguessableNumbers({0xA1});
  ASSERT_TRUE(engine::ForceDirectories(sim.platform().files, "C:\\Win\\temp"));
  EXPECT_EQ(engine::CreateWorkFolder(sim.platform().files, sim.platform().system, "C:\\Win"),
            "C:\\Win\\temp\\tewol_inst-00000000000000a1");
}

TEST(WorkFolder, IsRemovedOnlyWhenEmptyAndNeverLeftAsCurrentDirectory) {
  platform::sim::SimPlatform sim;
  platform::Files& files = sim.platform().files;
  const std::string folder = engine::CreateWorkFolder(files, sim.platform().system, "C:\\Windows");
  sim.PutFile(folder + "\\fremd.txt", "x");
  engine::RemoveFolderIfEmpty(files, folder, "C:\\Setup");
  EXPECT_TRUE(files.FileExists(folder + "\\fremd.txt"));

  files.DeleteFile(folder + "\\fremd.txt");
  ASSERT_TRUE(files.SetCurrentDirectory(folder));
  engine::RemoveFolderIfEmpty(files, folder, "C:\\Windows");
  EXPECT_FALSE(files.DirectoryExists(folder));
  EXPECT_EQ(files.CurrentDirectory(), "C:\\Windows");
}

class InstallationPhases : public RunFixture {};

TEST_F(InstallationPhases, CleanUpTakesTheUninstallerFromThePayloadWhateverTheComponentHeld) {
  SetupInf("[Settings]\r\nAppName=Produkt\r\n");
  Payload("example.szp");
  sim.PutFile("C:\\Setup\\Anderes.zip", "kein Archiv");
  StartUp("C:\\Ziel");
  settings = engine::SnapshotOf(state);
  engine::Installation installation(sim.platform(), settings, zip, view, stop.get_token());
  installation.Prepare();
  installation.CreateTargetDirectory();
  installation.OpenPayloadList();
  // A failure while the component archive was the current one.
  zip.SetArchivePath("C:\\Setup\\Anderes.zip");

  installation.FinishExtraction();
  const std::string work = installation.Context().workFolder;
  EXPECT_EQ(Content(work + "\\in32i$$.ex_"), "MZ uninstaller image");
  EXPECT_FALSE(Exists("C:\\Ziel\\in32i$$.ex_")) << "never through the target directory";

  installation.Undo();
  EXPECT_FALSE(Exists(work));
  EXPECT_FALSE(Exists("C:\\Ziel"));
}

TEST_F(InstallationPhases, TheTargetDirectoryIsMadeWithoutTrailingBlanks) {
  SetupInf("[Settings]\r\n");
  StartUp("C:\\Programme\\Firma\\Demo 1.0  ");
  settings = engine::SnapshotOf(state);
  engine::Installation installation(sim.platform(), settings, zip, view, stop.get_token());
  installation.Prepare();
  installation.CreateTargetDirectory();
  EXPECT_TRUE(sim.platform().files.DirectoryExists("C:\\Programme\\Firma\\Demo 1.0"));

  settings.TargetDir = " ";
  EXPECT_THROW(installation.CreateTargetDirectory(), engine::EDirectoryError);
}

}  // namespace
}  // namespace engine_test
