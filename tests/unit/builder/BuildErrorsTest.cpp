#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/builder/BuilderTest.h"
#include "tools/builder/BuildError.h"

namespace {

using builder_test::FolderNames;
namespace fs = std::filesystem;

const std::string kSettings = "[Settings]\nAppName=Demo\n";

enum class Output { Absent, NotEmpty, NotAFolder, NoParent };

struct ErrorCase {
  std::string name;
  std::string description;
  std::string message;  // the whole error text; "{root}" stands for the scratch folder
  Output output = Output::Absent;
  bool missingSetupExe = false;
};

void PrintTo(const ErrorCase& c, std::ostream* out) {
  *out << c.name;
}

class BuildErrorsTest : public builder_test::ScratchTest,
                        public ::testing::WithParamInterface<ErrorCase> {};

// Every fault stops the build with its message before the output folder
// appears, and leaves nothing beside it either.
TEST_P(BuildErrorsTest, StopsWithTheMessageAndLeavesNothingBehind) {
  const ErrorCase& c = GetParam();
  for (const char* name :
       {"a.txt", "b.txt", "c/x.dat", "d/x.dat", "setup.exe", "License.txt", "$$EXEC.INI"})
    Source(name, name);
  builder::BuildOptions options{out, {}, {}};
  if (c.output == Output::NotEmpty)
    Source("out/keep.txt", "bleibt");
  if (c.output == Output::NotAFolder)
    Source("out", "eine Datei");
  if (c.output == Output::NoParent)
    options.output = root / "fehlt" / "out";
  if (c.missingSetupExe)
    options.setupExe = root / "Setup.exe";
  const std::set<std::string> before = FolderNames(root);

  std::string message = c.message;
  for (size_t at; (at = message.find("{root}")) != std::string::npos;)
    message.replace(at, 6, root.string());
  try {
    Build(c.description, options);
    ADD_FAILURE() << "no error raised";
  } catch (const builder::BuildError& error) {
    EXPECT_EQ(error.what(), message);
  }
  std::set<std::string> after = FolderNames(root);
  after.erase("test.setup");
  EXPECT_EQ(after, before);
  if (c.output == Output::NotEmpty) {
    EXPECT_EQ(FolderNames(out), std::set<std::string>{"keep.txt"});
  }
}

const std::string kComponentStart = kSettings + "[Component1]\nExecutable=setup.exe\n";

INSTANTIATE_TEST_SUITE_P(
    MissingSources, BuildErrorsTest,
    ::testing::Values(
        ErrorCase{"ProductFile", kSettings + "[Files]\na.txt=C:\\a.txt\nfehlt.txt=C:\\b.txt\n",
                  "Zeile 5: Quelldatei nicht gefunden: {root}/fehlt.txt"},
        ErrorCase{"ProductFileIsAFolder", kSettings + "[Files]\nc=C:\\c\n",
                  "Zeile 4: Quelldatei ist keine Datei: {root}/c"},
        ErrorCase{"MediaFile", kSettings + "[Media]\ntexte/Lizenz.txt\n",
                  "Zeile 4: Quelldatei nicht gefunden: {root}/texte/Lizenz.txt"},
        ErrorCase{"ComponentFile", kComponentStart + "File=setup.exe\nFile=weg/../fehlt.dll\n",
                  "Zeile 6: Quelldatei nicht gefunden: {root}/fehlt.dll"},
        ErrorCase{"Uninstaller", kSettings + "[Builder]\nUninstaller=weg/uninstall.exe\n",
                  "Zeile 4: Quelldatei nicht gefunden: {root}/weg/uninstall.exe"},
        ErrorCase{"SetupProgram", kSettings,
                  "Das Programm (--setup-exe) nicht gefunden: {root}/Setup.exe", Output::Absent,
                  true}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    OutputFolder, BuildErrorsTest,
    ::testing::Values(
        ErrorCase{"ExistsAndIsNotEmpty", kSettings,
                  "Der Zielordner existiert und ist nicht leer: {root}/out", Output::NotEmpty},
        ErrorCase{"IsAFile", kSettings, "Das Ziel ist kein Ordner: {root}/out", Output::NotAFolder},
        ErrorCase{"ParentIsMissing", kSettings,
                  "Der Ordner, in dem der Setup-Ordner entstehen soll, fehlt: {root}/fehlt",
                  Output::NoParent}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Destinations, BuildErrorsTest,
    ::testing::Values(
        ErrorCase{"Relative", kSettings + "[Files]\na.txt=Daten\\a.txt\n",
                  "Zeile 4: Ungültiges Ziel \"Daten\\a.txt\": Das Ziel beginnt weder mit einem "
                  "Laufwerk (\"C:\\\") noch mit einem Platzhalter (\"%selected%\\\")"},
        ErrorCase{"FolderOnly", kSettings + "[Files]\na.txt=C:\\Daten\\\n",
                  "Zeile 4: Ungültiges Ziel \"C:\\Daten\\\": Das Ziel endet mit \"\\\" statt mit "
                  "einem Dateinamen"},
        ErrorCase{"ForbiddenCharacter", kSettings + "[Files]\na.txt=%selected%\\Wer?.txt\n",
                  "Zeile 4: Ungültiges Ziel \"%selected%\\Wer?.txt\": Das Zeichen \"?\" ist in "
                  "Windows-Namen nicht erlaubt"},
        ErrorCase{"NotInWindows1252", kSettings + "[Files]\na.txt=C:\\Ω.txt\n",
                  "Zeile 4: Das Zeichen \"Ω\" (U+03A9) gibt es in Windows-1252 nicht"},
        ErrorCase{"TooLong", kSettings + "[Files]\na.txt=C:\\" + std::string(2045, 'x') + "\n",
                  "Zeile 4: Ungültiges Ziel \"C:\\" + std::string(2045, 'x') +
                      "\": Das Ziel ist länger als 2047 Zeichen"},
        ErrorCase{"Missing", kSettings + "[Files]\na.txt=\n", "Zeile 4: Das Ziel nach \"=\" fehlt"},
        ErrorCase{"TwiceInAnyCase",
                  kSettings + "[Files]\na.txt=%selected%\\Ärger.txt\nb.txt=%SELECTED%\\ärger.TXT\n",
                  "Zeile 5: Das Ziel \"%SELECTED%\\ärger.TXT\" steht doppelt in [Files] (zuerst in "
                  "Zeile 4)"}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    MalformedLines, BuildErrorsTest,
    ::testing::Values(
        ErrorCase{"OutsideASection", "AppName=Demo\n" + kSettings,
                  "Zeile 1: Eintrag außerhalb eines Abschnitts"},
        ErrorCase{"FileWithoutEquals", kSettings + "[Files]\na.txt\n", "Zeile 4: Zeile ohne \"=\""},
        ErrorCase{"ControlLineWithoutEquals", kSettings + "[Registry]\n\nRegCount\n",
                  "Zeile 5: Zeile ohne \"=\""},
        ErrorCase{"HeaderWithoutBracket", kSettings + "[Files\n",
                  "Zeile 3: Abschnittskopf ohne schließende \"]\""},
        ErrorCase{"SectionTwice", kSettings + "[Files]\n[settings]\n",
                  "Zeile 4: Der Abschnitt [settings] steht doppelt (zuerst in Zeile 1)"},
        ErrorCase{"NoSettings", "[Files]\na.txt=C:\\a.txt\n",
                  "Der Abschnitt [Settings] fehlt; er nennt das Produkt (AppName, Version, "
                  "Company)"},
        ErrorCase{"UnknownBuilderKey", kSettings + "[Builder]\nSplitSize=100\nCompression=9\n",
                  "Zeile 5: Unbekannter Schlüssel \"Compression\" in [Builder]; bekannt sind "
                  "SplitSize und Uninstaller"},
        ErrorCase{"BuilderKeyTwice", kSettings + "[Builder]\nSplitSize=100\nsplitsize = 200\n",
                  "Zeile 5: Der Schlüssel \"splitsize\" steht doppelt in [Builder] (zuerst in "
                  "Zeile 4)"},
        ErrorCase{"SplitSizeWithUnit", kSettings + "[Builder]\nSplitSize=1,44 MB\n",
                  "Zeile 4: SplitSize muss eine Größe in Bytes sein (eine Dezimalzahl), nicht "
                  "\"1,44 MB\""},
        ErrorCase{"SplitSizeNegative", kSettings + "[Builder]\nSplitSize=-1\n",
                  "Zeile 4: SplitSize muss eine Größe in Bytes sein (eine Dezimalzahl), nicht "
                  "\"-1\""},
        ErrorCase{"SplitSizePast64Bits", kSettings + "[Builder]\nSplitSize=18446744073709551616\n",
                  "Zeile 4: SplitSize muss eine Größe in Bytes sein (eine Dezimalzahl), nicht "
                  "\"18446744073709551616\""},
        ErrorCase{"ControlTextNotInWindows1252", kSettings + "Company=Ωmega\n",
                  "Zeile 3: Das Zeichen \"Ω\" (U+03A9) gibt es in Windows-1252 nicht"},
        ErrorCase{"ControlTextNotUtf8", kSettings + "[Registry]\nCompany=M\xFCller\n",
                  "Zeile 4: Kein gültiges UTF-8 (Byte 0xFC)"}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Components, BuildErrorsTest,
    ::testing::Values(
        ErrorCase{"WithoutExecutable", kSettings + "[Component1]\nFile=setup.exe\n",
                  "Zeile 3: [Component1] hat kein Executable"},
        ErrorCase{"WithoutFile", kComponentStart, "Zeile 3: [Component1] hat keine File-Zeile"},
        ErrorCase{"Gap",
                  kComponentStart + "File=setup.exe\n[Component3]\nExecutable=setup.exe\n"
                                    "File=setup.exe\n",
                  "Zeile 6: [Component3] folgt auf eine Lücke: [Component2] fehlt"},
        ErrorCase{"NumberWithLeadingZero", kSettings + "[Component01]\n",
                  "Zeile 3: Ungültige Komponentennummer in [Component01]: die Komponenten heißen "
                  "[Component1], [Component2], …"},
        ErrorCase{"UnknownKey", kComponentStart + "Parameter=/q\n",
                  "Zeile 5: Unbekannter Schlüssel \"Parameter\" in [Component1]; bekannt sind "
                  "Executable und File"},
        ErrorCase{"ExecutableTwice", kComponentStart + "Executable=setup.exe /q\n",
                  "Zeile 5: Executable steht doppelt in [Component1] (zuerst in Zeile 4)"},
        ErrorCase{"ExecutableNotAmongTheFiles",
                  kSettings + "[Component1]\nExecutable=setup.exe2 /q\nFile=setup.exe\n",
                  "Zeile 4: Executable muss mit dem Namen einer Datei aus [Component1] beginnen, "
                  "gefolgt von den Parametern"},
        ErrorCase{"TwoFilesOfOneName",
                  kComponentStart + "File=setup.exe\nFile=c/x.dat\n"
                                    "[Component2]\nExecutable=setup.exe\n"
                                    "File=setup.exe\nFile=d/x.dat\n",
                  "Zeile 10: Zwei verschiedene Dateien heißen im Komponentenarchiv \"x.dat\" (die "
                  "andere in Zeile 6)"},
        ErrorCase{"FileTwice", kComponentStart + "File=setup.exe\nFile=./setup.exe\n",
                  "Zeile 6: Die Datei steht doppelt in [Component1]"},
        ErrorCase{"FileNamedLikeTheList", kComponentStart + "File=setup.exe\nFile=$$EXEC.INI\n",
                  "Zeile 6: Der Name \"$$EXEC.INI\" ist der Komponentenliste vorbehalten"}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    MediaNames, BuildErrorsTest,
    ::testing::Values(
        ErrorCase{"ControlFile", kSettings + "[Media]\nLicense.txt=setup.INF\n",
                  "Zeile 4: Der Name \"setup.INF\" ist für eine Datei vergeben, die der Builder "
                  "selbst schreibt"},
        ErrorCase{"Library", kSettings + "[Media]\nLicense.txt=SzUnpack.dll\n",
                  "Zeile 4: Der Name \"SzUnpack.dll\" ist für eine Datei vergeben, die der "
                  "Builder selbst schreibt"},
        ErrorCase{"PayloadPart", kSettings + "[Media]\nLicense.txt=disk12.ID\n",
                  "Zeile 4: Der Name \"disk12.ID\" ist für eine Datei vergeben, die der Builder "
                  "selbst schreibt"},
        ErrorCase{"Twice", kSettings + "[Media]\nLicense.txt\na.txt = license.TXT\n",
                  "Zeile 5: Der Name \"license.TXT\" steht doppelt in [Media] (zuerst in Zeile "
                  "4)"},
        ErrorCase{"NotAWindowsName", kSettings + "[Media]\nLicense.txt=Lizenz?.txt\n",
                  "Zeile 4: Ungültiger Name im Setup-Ordner \"Lizenz?.txt\": Das Zeichen \"?\" "
                  "ist in Windows-Namen nicht erlaubt"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
