#include "tools/builder/WindowsPath.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(DestinationProblem, AcceptsDrivePathsAndEveryPlaceholder) {
  for (const std::string& destination : std::vector<std::string>{
           "C:\\Daten\\a.txt",
           "z:\\a",
           "C:\\Programme\\Firma\\Demo 1.0\\Gr\xF6\xDF"
           "e;Liste,%1.txt",
           "%windir%\\system32\\a.dll",
           "%selected%\\Liesmich.txt",
           "%SELECTED%\\Daten\\Beispiel.txt",
           "%programs%\\Firma\\Demo.lnk",
           "%desktop%\\Demo.lnk",
           "%personal%\\a",
           "%sendto%\\a",
           "%recent%\\a",
           "%ProgramFiles%\\Firma\\a.exe",
           "%appdata%\\Firma\\a.ini",
           "%favorites%\\a.url",
           "%mymusic%\\a.mp3",
           "%mypictures%\\a.jpg",
           "%myvideo%\\a.avi",
           "%startup%\\a.lnk",
           "C:\\.hidden\\..a\\a..b",
           "C:\\" + std::string(builder::kMaxDestinationLength - 3, 'x'),
       }) {
    EXPECT_EQ(builder::DestinationProblem(destination), std::nullopt) << destination;
  }
}

TEST(DestinationProblem, RefusesWhatWindowsCannotCreateOrTheSetupCannotPlace) {
  struct Case {
    std::string destination;
    std::string problem;
  };
  for (const Case& c : std::vector<Case>{
           {"", "Das Ziel beginnt weder mit einem Laufwerk"},
           {"Daten\\a.txt", "Das Ziel beginnt weder mit einem Laufwerk"},
           {"\\\\server\\share\\a.txt", "Das Ziel beginnt weder mit einem Laufwerk"},
           {"1:\\a.txt", "Das Ziel beginnt weder mit einem Laufwerk"},
           {"C:a.txt", "Nach dem Laufwerk muss \"\\\" folgen"},
           {"C:", "Nach dem Laufwerk muss \"\\\" folgen"},
           {"C:\\", "Der Pfad nach dem Laufwerk oder Platzhalter fehlt"},
           {"%selected%", "Nach dem Platzhalter muss \"\\\" folgen"},
           {"%selected%a.txt", "Nach dem Platzhalter muss \"\\\" folgen"},
           {"%selected%\\", "Der Pfad nach dem Laufwerk oder Platzhalter fehlt"},
           {"%selected\\a.txt", "Der Platzhalter ist nicht mit \"%\" abgeschlossen"},
           {"%temp%\\a.txt", "Unbekannter Platzhalter"},
           {"%%\\a.txt", "Unbekannter Platzhalter"},
           {"C:\\Daten\\", "Das Ziel endet mit \"\\\""},
           {"C:\\Daten\\\\a.txt", "Leerer Pfadteil"},
           {"%selected%\\\\a.txt", "Leerer Pfadteil"},
           {"C:\\Daten\\.\\a.txt", "Der Pfadteil \".\" ist nicht erlaubt"},
           {"%selected%\\..\\a.txt", "Der Pfadteil \"..\" ist nicht erlaubt"},
           {"C:\\a<b.txt", "Das Zeichen \"<\""},
           {"C:\\a>b.txt", "Das Zeichen \">\""},
           {"C:\\a:b.txt", "Das Zeichen \":\""},
           {"C:\\a\"b.txt", "Das Zeichen \"\"\""},
           {"C:\\a|b.txt", "Das Zeichen \"|\""},
           {"C:\\a?.txt", "Das Zeichen \"?\""},
           {"C:\\*.txt", "Das Zeichen \"*\""},
           {"C:\\Daten/a.txt", "Das Zeichen \"/\""},
           {"C:\\a\tb.txt", "Steuerzeichen im Namen"},
           {std::string("C:\\a\0b.txt", 10), "Steuerzeichen im Namen"},
           {"C:\\Daten.\\a.txt", "nicht mit Punkt oder Leerzeichen enden"},
           {"C:\\Daten \\a.txt", "nicht mit Punkt oder Leerzeichen enden"},
           {"C:\\a.txt.", "nicht mit Punkt oder Leerzeichen enden"},
           {"C:\\Daten\\con", "einem Gerät vorbehalten"},
           {"%selected%\\NUL.txt", "einem Gerät vorbehalten"},
           {"C:\\Lpt1.log\\a.txt", "einem Gerät vorbehalten"},
           {"C:\\com0", "einem Gerät vorbehalten"},
           {"C:\\COM\xB9.txt", "einem Gerät vorbehalten"},
           {"C:\\lpt\xB3", "einem Gerät vorbehalten"},
           {"C:\\nul .txt", "einem Gerät vorbehalten"},
           {"C:\\" + std::string(builder::kMaxDestinationLength - 2, 'x'),
            "Das Ziel ist länger als 2047 Zeichen"},
       }) {
    const std::optional<std::string> problem = builder::DestinationProblem(c.destination);
    ASSERT_TRUE(problem.has_value()) << c.destination;
    EXPECT_NE(problem->find(c.problem), std::string::npos) << c.destination << ": " << *problem;
  }
}

TEST(NameProblem, TakesPlainFileNamesAndRefusesPaths) {
  EXPECT_EQ(builder::NameProblem("License.txt"), std::nullopt);
  EXPECT_EQ(builder::NameProblem("con.d"),
            "Der Name ist unter Windows einem Gerät vorbehalten (CON, PRN, AUX, NUL, COM0 bis "
            "COM9, COM¹ bis COM³, LPT0 bis LPT9, LPT¹ bis LPT³, auch mit Endung)");
  EXPECT_EQ(builder::NameProblem("console.txt"), std::nullopt);
  EXPECT_EQ(builder::NameProblem("COM10"), std::nullopt);
  EXPECT_EQ(builder::NameProblem("LPT\xB4.txt"), std::nullopt);  // ´ is no digit
  EXPECT_EQ(builder::NameProblem("a\\b"), "Das Zeichen \"\\\" ist in Windows-Namen nicht erlaubt");
  EXPECT_EQ(builder::NameProblem(""), "Leerer Name");
}

}  // namespace
