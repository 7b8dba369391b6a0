#include "engine/FreeSpace.h"

#include <gtest/gtest.h>

#include "engine/InstallError.h"
#include "platform/sim/SimPlatform.h"
#include "tests/unit/engine/RunFixture.h"

namespace engine_test {
namespace {

TEST(FreeSpace, DriveRootsAndSizesAsTheMessageShowsThem) {
  struct RootCase {
    const char* path;
    const char* root;
  };
  for (const RootCase& c : {RootCase{"c:\\Programme\\Firma", "c:\\"}, RootCase{"D:", "D:\\"},
                            RootCase{"\\\\server\\freigabe\\Ziel\\x", "\\\\server\\freigabe\\"},
                            RootCase{"\\\\server\\freigabe", "\\\\server\\freigabe\\"},
                            RootCase{"\\\\server", ""}, RootCase{"Programme\\Firma", ""}}) {
    EXPECT_EQ(engine::DriveRoot(c.path), c.root) << c.path;
  }
  struct SizeCase {
    uint64_t bytes;
    const char* up;
    const char* down;
  };
  for (const SizeCase& c :
       {SizeCase{0, "0 Bytes", "0 Bytes"}, SizeCase{1023, "1023 Bytes", "1023 Bytes"},
        SizeCase{1024, "1,0 KB", "1,0 KB"}, SizeCase{5000, "4,9 KB", "4,8 KB"},
        SizeCase{3 << 20, "3,0 MB", "3,0 MB"}, SizeCase{(3 << 20) + 1, "3,1 MB", "3,0 MB"},
        SizeCase{uint64_t{5} << 30, "5,0 GB", "5,0 GB"},
        SizeCase{uint64_t{2048} << 30, "2048,0 GB", "2048,0 GB"}}) {
    EXPECT_EQ(engine::SizeText(c.bytes, true), c.up) << c.bytes;
    EXPECT_EQ(engine::SizeText(c.bytes, false), c.down) << c.bytes;
  }
}

TEST(FreeSpace, EachDriveIsJudgedByWhatGoesThereInWholeAllocationUnits) {
  platform::sim::SimPlatform sim;
  sim.AddDrive('D', platform::DriveType::Fixed);
  engine::SpaceNeeds needs;
  needs.AddFile("d:\\Ziel\\a.bin", 1);
  needs.AddFile("D:\\Ziel\\b.bin", 0);
  needs.AddFile("D:\\Ziel\\c.bin", 4097);
  needs.AddFile("C:\\Windows\\Temp\\tewol_inst\\1", 100);
  needs.AddFile("\\\\server\\freigabe\\x.bin", 1 << 20);  // tells no free space: not judged
  sim.SetFreeSpace('D', 4 * 4096);
  EXPECT_NO_THROW(needs.Check(sim.platform().files));
  sim.SetFreeSpace('D', 4 * 4096 - 1);
  try {
    needs.Check(sim.platform().files);
    ADD_FAILURE() << "the drive is too small";
  } catch (const engine::EInstallError& error) {
    EXPECT_STREQ(error.what(),
                 "Auf dem Laufwerk D:\\ ist nicht genug Platz frei: Setup braucht dort 16,0 KB, "
                 "frei sind 15,9 KB. Schaffen Sie Platz auf dem Laufwerk, oder wählen Sie ein "
                 "anderes Zielverzeichnis");
  }
}

// A setup whose files go to drive D:, where the user has a file of their own.
class SmallDrive : public RunFixture {
 public:
  SmallDrive() {
    SetupInf(
        "[Settings]\r\nAppName=Produkt\r\nVersion=2.1\r\nCompany=Firma\r\nStandardReg=1\r\n"
        "CreateUninstallShortcut=1\r\nMarrowlink=0\r\n");
    Payload("example.szp");
    sim.AddDrive('D', platform::DriveType::Fixed);
    sim.PutFile("D:\\Ziel\\meine.txt", "vom Benutzer");
    StartUp("D:\\Ziel");
  }
  void TestBody() override {}

  using RunFixture::Matching;
  using RunFixture::Run;
  using RunFixture::sim;
  using RunFixture::view;
};

TEST(SmallDrive, ATooSmallDriveIsToldBeforeAnyFileIsPlaced) {
  SmallDrive machine;
  auto& sim = machine.sim;
  // Two files of the payload: two allocation units.
  sim.SetFreeSpace('D', 8191);
  const std::string before = sim.Describe();
  try {
    machine.Run();
    ADD_FAILURE() << "the run did not fail";
  } catch (const engine::EInstallError& error) {
    EXPECT_STREQ(error.what(),
                 "Auf dem Laufwerk D:\\ ist nicht genug Platz frei: Setup braucht dort 8,0 KB, "
                 "frei sind 7,9 KB. Schaffen Sie Platz auf dem Laufwerk, oder wählen Sie ein "
                 "anderes Zielverzeichnis");
  }
  EXPECT_EQ(machine.Matching("detail Datei "), std::vector<std::string>{})
      << "no file was extracted or copied";
  EXPECT_EQ(sim.Describe(), before);
}

// A drive that others fill while the run writes: whichever write finds it
// full, the run ends in an error and the machine is as it was.
TEST(SmallDrive, ADriveThatFillsAtAnyByteLeavesTheMachineAsItWas) {
  constexpr uint64_t kPlenty = uint64_t{1} << 30;
  SmallDrive whole;
  whole.sim.SetFreeSpace('D', kPlenty);
  const std::string before = whole.sim.Describe();
  ASSERT_EQ(whole.Run(), engine::RunEnd::Completed);
  const uint64_t written = kPlenty - *whole.sim.platform().files.FreeSpace("D:\\");
  ASSERT_GT(written, 24u) << "the two files and the records";

  for (uint64_t room = 0; room < written; room += 1 + written / 50) {
    SCOPED_TRACE("room for " + std::to_string(room) + " of " + std::to_string(written) + " bytes");
    SmallDrive machine;
    machine.sim.SetFreeSpace('D', kPlenty);
    machine.view.onEvent = [&](const std::string& event) {
      if (event.find("wird extrahiert") != std::string::npos)
        machine.sim.SetFreeSpace('D', room);
    };
    EXPECT_THROW(machine.Run(), engine::EInstallError);
    EXPECT_EQ(machine.sim.Describe(), before);
  }
}

}  // namespace
}  // namespace engine_test
