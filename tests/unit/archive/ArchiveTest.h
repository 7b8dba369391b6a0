#pragma once

// What the archive component's tests share: a simulated machine with the
// setup folder C:\Setup holding SZUNPACK.DLL (the real library), the test
// archives copied in on demand, and the component under test.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "archive/ZipUnpacker.h"
#include "platform/sim/SimPlatform.h"
#include "tests/unit/archive/RealUnpackLibrary.h"

namespace archive_test {

inline std::string FixtureBytes(const std::string& name) {
  std::ifstream in(std::string(ARCHIVE_FIXTURES_DIR) + "/" + name, std::ios::binary);
  EXPECT_TRUE(in) << name;
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline std::string Fallback(int number, const std::string& extra = {}) {
  return "The message texts are not linked into the program\nMissing message number: " +
         std::to_string(number) + extra;
}

class ArchiveTest : public ::testing::Test {
 protected:
  ArchiveTest() {
    sim.PutFile("C:\\Setup\\SZUNPACK.DLL", "");
    RegisterRealUnpackLibrary(sim, "C:\\Setup\\SZUNPACK.DLL");
    zip.SetLibraryDir("C:\\Setup\\");
    zip.OnMessage = [this](int number, const std::string& text) {
      messages.push_back(number);
      EXPECT_EQ(text, zip.LastErrorText());
    };
    zip.OnListChanged = [this] { ++listChanged; };
  }

  /// Copies a test archive onto the simulated machine; returns its path.
  std::string Put(const std::string& fixture, const std::string& path = "C:\\Setup\\Setup.szp") {
    sim.PutFile(path, FixtureBytes(fixture));
    return path;
  }

  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : zip.Directory())
      names.push_back(e.name);
    return names;
  }

  /// Message box texts shown so far.
  std::vector<std::string> Shown() const {
    std::vector<std::string> texts;
    for (const auto& m : sim.Messages()) {
      EXPECT_EQ(m.caption, "Tessarwolden");
      EXPECT_EQ(m.buttons, platform::MsgButtons::Ok);
      texts.push_back(m.text);
    }
    return texts;
  }

  std::string HostFile(const std::string& windowsPath) {
    std::ifstream in(sim.HostPath(windowsPath), std::ios::binary);
    if (!in)
      return "<missing>";
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  platform::sim::SimPlatform sim;
  archive::TZipUnpacker zip{sim.platform(), "Tessarwolden"};
  std::vector<int> messages;
  int listChanged = 0;
};

}  // namespace archive_test
