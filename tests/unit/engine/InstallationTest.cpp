#include "engine/Installation.h"

#include <gtest/gtest.h>

#include "engine/Directories.h"
#include "engine/WorkFolder.h"
#include "tests/unit/engine/RunFixture.h"

namespace engine_test {
namespace {

TEST(WorkFolder, EachRunGetsAFolderOfItsOwn) {
  platform::sim::SimPlatform sim;
  platform::Files& files = sim.platform().files;
  EXPECT_EQ(engine::CreateWorkFolder(files, "C:\\Windows"), "C:\\Windows\\Temp\\tewol_inst");
  EXPECT_EQ(engine::CreateWorkFolder(files, "C:\\Windows"), "C:\\Windows\\Temp\\tewol_inst2");
  sim.PutFile("C:\\Windows\\Temp\\tewol_inst3", "eine Datei dieses Namens");
  EXPECT_EQ(engine::CreateWorkFolder(files, "C:\\Windows"), "C:\\Windows\\Temp\\tewol_inst4");
  EXPECT_EQ(engine::CreateWorkFolder(files, "C:\\Fehlt"), "C:\\Fehlt\\Temp\\tewol_inst");
  EXPECT_FALSE(files.DirectoryExists("C:\\Fehlt")) << "a missing Temp is not created";
}

TEST(WorkFolder, IsRemovedOnlyWhenEmptyAndNeverLeftAsCurrentDirectory) {
  platform::sim::SimPlatform sim;
  platform::Files& files = sim.platform().files;
  const std::string folder = engine::CreateWorkFolder(files, "C:\\Windows");
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
