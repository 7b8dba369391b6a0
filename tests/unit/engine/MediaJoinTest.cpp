#include <gtest/gtest.h>

#include "tests/unit/engine/RunFixture.h"

namespace engine_test {
namespace {

using platform::MsgIcon;

std::string InsertMessage(int medium) {
  return "Installationsmedium einlegen - Tessarwolden: Bitte legen Sie Medium " +
         std::to_string(medium) + " ein und klicken Sie auf [OK]!";
}

constexpr const char* kAbort =
    "Abbruch der Installation - Tessarwolden: Damit keine Schäden auf Ihrem System entstehen, "
    "wird Setup nun beendet.\rSollten Ihnen Installationsmedien fehlen, informieren Sie bitte "
    "den Hersteller.";

class MediaJoin : public RunFixture {
 protected:
  /// Cuts the payload into `count` parts and writes part k to `folders[k-1]`
  /// (C:\Setup\ when there are fewer folders).
  void SplitPayload(int count, const std::vector<std::string>& folders = {}) {
    const std::string bytes = PayloadBytes("large.szp");
    const size_t size = (bytes.size() + count - 1) / count;
    for (int k = 1; k <= count; ++k) {
      const std::string folder =
          static_cast<size_t>(k) <= folders.size() ? folders[k - 1] : "C:\\Setup\\";
      sim.PutFile(folder + "Disk" + std::to_string(k) + ".id", bytes.substr((k - 1) * size, size));
    }
    SetupInf("[Settings]\r\nAppName=Geteilt\r\nStandardReg=1\r\nSplitted=true\r\nSplitFileCount=" +
             std::to_string(count) + "\r\n[Directories]\r\nFolderCount=0\r\n");
  }

  void ExpectInstalled() {
    for (int n = 1; n <= 3; ++n) {
      EXPECT_EQ(Content("C:\\Ziel\\daten" + std::to_string(n) + ".bin").size(), 40000u + n * 1000)
          << n;
    }
    EXPECT_EQ(WorkFolders(), std::vector<std::string>{});
  }
};

TEST_F(MediaJoin, PartsAreAskedForInTurnJoinedAndTheJoinedArchiveRemoved) {
  for (int count : {2, 3}) {
    SCOPED_TRACE(count);
    events.clear();
    SplitPayload(count);
    StartUp("C:\\Ziel");
    const size_t shownBefore = sim.Messages().size();

    ASSERT_EQ(Run(), engine::RunEnd::Completed);
    ExpectInstalled();
    std::vector<std::string> expected, details;
    for (int medium = 2; medium <= count + 1; ++medium) {
      expected.push_back(InsertMessage(medium));
      details.push_back("Lesen von Installationsmedium " + std::to_string(medium) + "...");
    }
    expected.push_back(InsertMessage(1));
    const std::vector<std::string> shown = Shown();
    EXPECT_EQ(std::vector<std::string>(shown.begin() + shownBefore, shown.end()), expected);
    const std::vector<std::string> allDetails = Matching("detail ");
    EXPECT_EQ(std::vector<std::string>(allDetails.begin(), allDetails.begin() + count), details);
    EXPECT_EQ(sim.Messages().back().icon, MsgIcon::Exclamation);
    EXPECT_TRUE(Exists("C:\\Setup\\Disk1.id")) << "the media stay as they are";
  }
}

TEST_F(MediaJoin, AMissingPartIsFoundThroughTheBrowserAndTheNextIsLookedForThere) {
  sim.AddDrive('E', platform::DriveType::CdRom);
  SplitPayload(3, {"C:\\Setup\\", "E:\\Medien\\", "E:\\Medien\\"});
  sim.QueueFolderChoices({"E:\\Medien"});
  StartUp("C:\\Ziel");

  ASSERT_EQ(Run(), engine::RunEnd::Completed);
  ExpectInstalled();
  EXPECT_EQ(Shown(), (std::vector<std::string>{
                         InsertMessage(2),
                         InsertMessage(3),
                         "Pfad nicht gefunden - Tessarwolden: Die Installationsdatei\r    "
                         "\"Disk2.id\"\rkonnte im Pfad\r    \"C:\\Setup\\\"\rnicht gefunden "
                         "werden. Bitte geben Sie den Pfad an, indem sich die Datei befindet!",
                         InsertMessage(4),
                         InsertMessage(1),
                     }));
  EXPECT_EQ(sim.Messages()[2].icon, MsgIcon::Error);
  EXPECT_EQ(sim.FolderBrowserPrompts(),
            std::vector<std::string>{"Bitte wählen Sie einen Pfad aus!"});
}

TEST_F(MediaJoin, NoUsableFolderFromTheBrowserEndsTheSetup) {
  sim.AddDrive('E', platform::DriveType::CdRom);
  for (const std::optional<std::string>& choice :
       std::vector<std::optional<std::string>>{std::nullopt, "E:\\"}) {
    SCOPED_TRACE(choice.value_or("cancelled"));
    SplitPayload(2, {"C:\\Setup\\", "E:\\Medien\\"});
    sim.QueueFolderChoices({choice});
    StartUp("C:\\Ziel");

    EXPECT_EQ(Run(), engine::RunEnd::MediaStopped);
    EXPECT_EQ(Shown().back(), kAbort);
    EXPECT_EQ(sim.Messages().back().icon, MsgIcon::Error);
    EXPECT_FALSE(Exists("C:\\Ziel\\daten1.bin"));
  }
}

TEST_F(MediaJoin, APartThatCannotBeReadEndsTheSetupWithTheBrokenMediumMessage) {
  SplitPayload(2);
  StartUp("C:\\Ziel");
  // Another program writing the part keeps it from being read.
  const std::unique_ptr<platform::WriteStream> writer =
      sim.platform().files.OpenWrite("C:\\Setup\\Disk2.id");

  EXPECT_EQ(Run(), engine::RunEnd::MediaStopped);
  EXPECT_EQ(Shown().back(),
            "Installationsdiskette fehlt oder ist defekt - Tessarwolden: Beim Zusammensetzen des "
            "Archivs trat ein Fehler auf.\rPrüfen Sie bitte, ob Sie die korrekte Diskette "
            "eingelegt haben, und ob diese nicht fehlerhaft ist.\rDas Setup wird nun beendet, "
            "damit keine Schäden auf Ihrem System entstehen. Bitte starten Sie \"Setup.exe\" neu!");
}

TEST_F(MediaJoin, ZeroPartsAskOnlyForTheFirstMediumAndATruncatedSetFailsCleanly) {
  SetupInf("[Settings]\r\nAppName=Leer\r\nSplitted=true\r\nSplitFileCount=0\r\n");
  StartUp("C:\\Ziel");
  EXPECT_THROW(Run(), engine::EInstallError);
  EXPECT_EQ(Shown().front(), InsertMessage(1));
  EXPECT_EQ(WorkFolders(), std::vector<std::string>{});

  SplitPayload(2);
  const std::string part = Content("C:\\Setup\\Disk2.id");
  sim.PutFile("C:\\Setup\\Disk2.id", part.substr(0, part.size() / 2));
  StartUp("C:\\Ziel");
  EXPECT_THROW(Run(), engine::EInstallError);
  EXPECT_EQ(WorkFolders(), std::vector<std::string>{});
  EXPECT_FALSE(Exists("C:\\Ziel\\daten1.bin"));
}

TEST_F(MediaJoin, EndingTheProgramAtAMediumQuestionRemovesWhatWasJoined) {
  SplitPayload(2);
  StartUp("C:\\Ziel");
  sim.OnMessage([this](const platform::sim::ShownMessage& shown) {
    if (shown.text.find("Medium 3") != std::string::npos)
      stop.request_stop();
  });

  EXPECT_EQ(Run(), engine::RunEnd::Stopped);
  EXPECT_EQ(WorkFolders(), std::vector<std::string>{});
}

}  // namespace
}  // namespace engine_test
