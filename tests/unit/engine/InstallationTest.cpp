#include "engine/Installation.h"

#include <gtest/gtest.h>

#include "engine/Directories.h"
#include "platform/sim/SimPlatform.h"

namespace {

class InstallationTest : public ::testing::Test {
 protected:
  InstallationTest() { sim.SetModulePath("D:\\Medien\\Setup.exe"); }

  platform::sim::SimPlatform sim;
  app::SetupState state;
  engine::Installation installation{sim.platform(), state};
};

TEST_F(InstallationTest, PreparesTheWorkFolderAndRemovesItOnlyWhenEmpty) {
  sim.AddDrive('D', platform::DriveType::CdRom);
  installation.Prepare();
  EXPECT_EQ(installation.WorkFolder(), "C:\\Windows\\Temp\\tewol_inst");
  EXPECT_EQ(installation.ArchiveDirectory(), "D:\\Medien\\");
  EXPECT_TRUE(sim.platform().files.DirectoryExists("C:\\Windows\\Temp\\tewol_inst"));

  installation.Prepare();  // an existing work folder is fine

  sim.PutFile("C:\\Windows\\Temp\\tewol_inst\\fremd.txt", "x");
  installation.FinishExtraction();
  EXPECT_TRUE(sim.platform().files.FileExists("C:\\Windows\\Temp\\tewol_inst\\fremd.txt"));

  std::filesystem::remove(sim.HostPath("C:\\Windows\\Temp\\tewol_inst\\fremd.txt"));
  installation.FinishExtraction();
  EXPECT_FALSE(sim.platform().files.DirectoryExists("C:\\Windows\\Temp\\tewol_inst"));
}

TEST_F(InstallationTest, CreatesTheTargetDirectoryWithoutTrailingBlanks) {
  state.TargetDir = "C:\\Programme\\Firma\\Demo 1.0  ";
  installation.CreateTargetDirectory();
  EXPECT_TRUE(sim.platform().files.DirectoryExists("C:\\Programme\\Firma\\Demo 1.0"));

  state.TargetDir = " ";
  EXPECT_THROW(installation.CreateTargetDirectory(), engine::EDirectoryError);
}

}  // namespace
