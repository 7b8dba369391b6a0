#include "core/ProfileSnapshot.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/SimPlatform.h"

namespace {

// The snapshot must read a text exactly as the profile service reads the
// same text from a file (the simulated service, which reads as Windows does).
TEST(ProfileSnapshot, ReadsAsTheProfileServiceReadsTheFile) {
  struct Case {
    std::string text;
    const char* section;
    const char* key;
    const char* fallback;
  };
  const std::string longValue(2100, 'x');
  const std::vector<Case> cases = {
      {"[Listfile]\r\nFileCount=2\r\n1=%selected%\\a.txt\r\n", "Listfile", "1", ""},
      {"[Listfile]\r\n1=a\r\n", "LISTFILE", "1", ""},
      {"[S]\r\n  Key  =  wert mit Blanks  \r\n", "S", "key", "fb"},
      {"[S]\r\nKey=\"in Anführung\"\r\n", "S", "Key", "fb"},
      {"[S]\r\nKey='einfach'\r\n", "S", "Key", "fb"},
      {"[S]\r\nKey=\"nur vorn\r\n", "S", "Key", "fb"},
      {"[S]\r\nKey=eins\r\nkey=zwei\r\n", "S", "Key", "fb"},
      {"[S]\r\nKey=eins\r\n[s]\r\nKey=zwei\r\n", "S", "Key", "fb"},
      {"[S]\r\nohne Gleichheitszeichen\r\n", "S", "ohne Gleichheitszeichen", "fb"},
      {"[S]\r\nKey=\r\n", "S", "Key", "fb"},
      {"[S]\r\n", "S", "Key", "fb  "},
      {"[S]\r\n", "S", "Key", "   "},
      {"[S]\rKey=nur CR\rAnder=y", "S", "Key", "fb"},
      {"Key=vor jedem Abschnitt\r\n[S]\r\n", "S", "Key", "fb"},
      {"[S]\r\nKey=" + longValue + "\r\n", "S", "Key", "fb"},
      {"[S]\r\nKey=\"" + std::string(2047, 'x') + "\"\r\n", "S", "Key", "fb"},
      {"[S]\r\nKey=\"" + std::string(2046, 'x') + "\"\r\n", "S", "Key", "fb"},
      {"[S]\r\nKey=Größe\r\n", "S", "Key", "fb"},
      {"[S]\r\nKey=x\r\n", "T", "Key", "fehlt"},
  };
  platform::sim::SimPlatform sim;
  platform::Platform& platform = sim.platform();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 60));
    sim.PutFile("C:\\Liste.ini", platform.system.Utf8ToAnsi(c.text));
    core::ProfileSnapshot snapshot("C:\\Liste.ini", c.text);
    EXPECT_EQ(snapshot.Read("C:\\Liste.ini", c.section, c.key, c.fallback),
              platform.profile.Read("C:\\Liste.ini", c.section, c.key, c.fallback));
    EXPECT_EQ(snapshot.KeyNames("C:\\Liste.ini", c.section).size(),
              platform.profile.KeyNames("C:\\Liste.ini", c.section).size());
  }
  core::ProfileSnapshot snapshot("C:\\Liste.ini", "[S]\r\nKey=x\r\n");
  EXPECT_EQ(snapshot.Read("C:\\Andere.ini", "S", "Key", "fb"), "fb") << "only its own file";
}

}  // namespace
