#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/unit/builder/BuilderTest.h"
#include "tools/builder/BuildError.h"

namespace {

using builder_test::FolderNames;
namespace fs = std::filesystem;

const std::string kSettings = "[Settings]\nAppName=Demo\nVersion=1.0\nCompany=Firma\n";

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
  for (const char* name : {"a.txt", "b.txt", "c/x.dat", "d/x.dat", "e/COM\u00B9.txt", "setup.exe",
                           "License.txt", "$$EXEC.INI"})
    Source(name, name);
  fs::create_directory(root / "leer");
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
                  "Zeile 7: Quelldatei nicht gefunden: {root}/fehlt.txt"},
        ErrorCase{"ProductFileWrittenAsFolder", kSettings + "[Files]\na.txt/=C:\\a\n",
                  "Zeile 6: Die Quelle ist kein Ordner: {root}/a.txt/"},
        ErrorCase{"SourceWithEquals", kSettings + "[Files]\na=b.txt=C:\\a.txt\n",
                  "Zeile 6: Quelldatei nicht gefunden: {root}/a (steht ein \"=\" im Quellpfad, "
                  "dann den Quellpfad in Anführungszeichen setzen: \"pfad/mit=zeichen.txt\"=Ziel)"},
        ErrorCase{"MediaFile", kSettings + "[Media]\ntexte/Lizenz.txt\n",
                  "Zeile 6: Quelldatei nicht gefunden: {root}/texte/Lizenz.txt"},
        ErrorCase{"ComponentFile", kComponentStart + "File=setup.exe\nFile=weg/../fehlt.dll\n",
                  "Zeile 8: Quelldatei nicht gefunden: {root}/fehlt.dll"},
        ErrorCase{"Uninstaller", kSettings + "[Builder]\nUninstaller=weg/uninstall.exe\n",
                  "Zeile 6: Quelldatei nicht gefunden: {root}/weg/uninstall.exe"},
        ErrorCase{"SetupProgram", kSettings,
                  "Das Programm (--setup-exe) nicht gefunden: {root}/Setup.exe", Output::Absent,
                  true}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    FolderLines, BuildErrorsTest,
    ::testing::Values(
        ErrorCase{"EmptyFolder", kSettings + "[Files]\nleer=%selected%\n",
                  "Zeile 6: Der Ordner enthält keine Datei: {root}/leer"},
        ErrorCase{"PatternMatchesNothing", kSettings + "[Files]\nc/*.txt=%selected%\n",
                  "Zeile 6: Das Muster trifft keine Datei: {root}/c/*.txt"},
        ErrorCase{"PatternFolderMissing", kSettings + "[Files]\nnix/*.txt=%selected%\n",
                  "Zeile 6: Der Ordner des Musters fehlt: {root}/nix"},
        ErrorCase{"FolderIntoNoFolder", kSettings + "[Files]\nc=Daten\n",
                  "Zeile 6: Ungültiges Ziel \"Daten\": Der Zielordner beginnt weder mit einem "
                  "Laufwerk (\"C:\\\") noch mit einem Platzhalter (\"%selected%\")"},
        ErrorCase{"DeviceNameInFolder", kSettings + "[Files]\ne=%selected%\\Daten\\\n",
                  "Zeile 6: Ungültiges Ziel \"%selected%\\Daten\\COM¹.txt\" für "
                  "{root}/e/COM¹.txt: Der Name ist unter Windows einem Gerät vorbehalten (CON, "
                  "PRN, AUX, NUL, COM0 bis COM9, COM¹ bis COM³, LPT0 bis LPT9, LPT¹ bis LPT³, "
                  "auch mit Endung)"},
        ErrorCase{"TwoFoldersOneDestination", kSettings + "[Files]\nc=%selected%\nd=%SELECTED%\n",
                  "Zeile 7: Das Ziel \"%SELECTED%\\x.dat\" steht doppelt in [Files] (zuerst in "
                  "Zeile 6)"},
        ErrorCase{"EmptyExclude", kSettings + "[Files]\nc=%selected%\n!\n",
                  "Zeile 7: Nach \"!\" fehlt, was ausgelassen werden soll"}),
    [](const auto& info) { return info.param.name; });

// The rules Setup.exe applies when it reads Setup.inf, one case per kind of
// fault.
INSTANTIATE_TEST_SUITE_P(
    ControlSections, BuildErrorsTest,
    ::testing::Values(
        ErrorCase{"MisspeltSection", kSettings + "[Regsitry]\nRegCount=0\n",
                  "Zeile 5: Unbekannter Abschnitt [Regsitry]; gemeint ist wohl [Registry]"},
        ErrorCase{"MisspeltNumberedSection", kSettings + "[Lnik2]\n",
                  "Zeile 5: Unbekannter Abschnitt [Lnik2]; gemeint ist wohl [Link2]"},
        ErrorCase{"UnknownSection", kSettings + "[Extras]\n",
                  "Zeile 5: Unbekannter Abschnitt [Extras]; bekannt sind [Builder], [Files], "
                  "[Media], [Component1], [Component2], …, [Settings], [UninstallInfo], "
                  "[Directories], [Registry], [Reg1], [Reg2], …, [Marrowlink], [Links], [Link1], "
                  "[Link2], …, [ComponentInstall]"},
        ErrorCase{"MisspeltKey", kSettings + "Licence=True\n",
                  "Zeile 5: Unbekannter Schlüssel \"Licence\" in [Settings]; gemeint ist wohl "
                  "\"License\""},
        ErrorCase{"KeyTwice", kSettings + "appname=Zweite\n",
                  "Zeile 5: Der Schlüssel \"appname\" steht doppelt in [Settings] (zuerst in "
                  "Zeile 2); Setup liest nur den ersten"},
        ErrorCase{"SwitchAsWord", kSettings + "StandardReg=true\n",
                  "Zeile 5: StandardReg ist eine Zahl: 1 schaltet ein, 0 aus; \"true\" ist keine "
                  "Zahl und gälte als aus. StandardReg=1 oder StandardReg=0 schreiben"},
        ErrorCase{"SwitchOtherNumber", kSettings + "Marrowlink=2\n",
                  "Zeile 5: Marrowlink ist 1 (ein) oder 0 (aus), nicht \"2\""},
        ErrorCase{"PageFlagAsNumber", kSettings + "Information=1\n",
                  "Zeile 5: Information ist ein Wort: True zeigt die Seite, alles andere nicht; "
                  "\"1\" gälte als nein. Information=True oder Information=False schreiben"},
        ErrorCase{"RebootCapitalised", kSettings + "Reboot=True\n",
                  "Zeile 5: Reboot gilt nur mit genau \"true\" (klein geschrieben); \"True\" "
                  "gälte als false. Reboot=true oder Reboot=false schreiben"},
        ErrorCase{"SplittedByHand", kSettings + "Splitted=true\n",
                  "Zeile 5: Splitted setzt der Builder passend zur Nutzlast; die Zeile streichen "
                  "(mehrere Medien: [Builder] Media= oder --media)"},
        ErrorCase{"CompanyMissing", "[Settings]\nAppName=Demo\nVersion=1.0\n",
                  "Zeile 1: Es fehlt in [Settings] Company= (der Hersteller, Teil des "
                  "Zielverzeichnisses)"},
        ErrorCase{"AppNameWithColon", "[Settings]\nAppName=Demo: Pro\nVersion=1\nCompany=F\n",
                  "Zeile 2: AppName \"Demo: Pro\" wird Teil des Dateinamens \"Inst_Demo: "
                  "Pro_remove.exe\" des Deinstallationsprogramms: Das Zeichen \":\" ist in "
                  "Windows-Namen nicht erlaubt"},
        ErrorCase{"CountNotANumber", kSettings + "[Links]\nLinkCount=zwei\n",
                  "Zeile 6: LinkCount muss eine Zahl sein, nicht \"zwei\""},
        ErrorCase{"CountAboveItsEntries",
                  kSettings + "[Registry]\nRegCount=2\n[Reg1]\nKey=Software\\Firma\n",
                  "Zeile 6: RegCount=2, aber die Beschreibung hat nur [Reg1]; RegCount=1 "
                  "schreiben oder die Zeile weglassen (dann zählt der Builder)"},
        ErrorCase{"EntriesWithAGap", kSettings + "[Directories]\nFolder1=\\a\nFolder3=\\c\n",
                  "Zeile 7: Folder2= fehlt: die Einträge werden von 1 an ohne Lücke gezählt"},
        ErrorCase{"FolderBesideTheTarget", kSettings + "[Directories]\nFolder1=Daten\n",
                  "Zeile 6: Folder1 muss mit \"\\\" beginnen (ein Ordner im Zielverzeichnis, "
                  "z. B. \\Daten); \"Daten\" ergäbe einen Ordner neben dem Zielverzeichnis"},
        ErrorCase{"RootUnknown", kSettings + "[Reg1]\nRoot=LOCAL\nKey=a\n",
                  "Zeile 6: Root \"LOCAL\" kennt Setup nicht und schriebe nach "
                  "HKEY_CURRENT_USER; erlaubt sind HKCR, HKCU, HKLM, HKU, HKCC, HKDD und ihre "
                  "langen Namen (HKEY_LOCAL_MACHINE, …)"},
        ErrorCase{"TypeUnknown", kSettings + "[Reg1]\nKey=a\nData=DWORD\n",
                  "Zeile 7: Data \"DWORD\" kennt Setup nicht und schriebe nichts; erlaubt sind "
                  "String, Float, Boolean, Currency (beliebig geschrieben) und BOOL (genau so)"},
        ErrorCase{"BooleanOfANumber", kSettings + "[Reg1]\nKey=a\nValue=1\nData=boolean\n",
                  "Zeile 7: Mit Data=boolean schreibt Setup nur bei Value=true oder Value=false "
                  "etwas, nicht bei \"1\""},
        ErrorCase{"FloatOfAWord", kSettings + "[Reg1]\nKey=a\nValue=eins\nData=Float\n",
                  "Zeile 7: Mit Data=Float muss Value eine Zahl sein (z. B. 1,5), nicht \"eins\""},
        ErrorCase{"RegistryKeyMissing", kSettings + "[Reg1]\nValue=x\n",
                  "Zeile 5: Es fehlt in [Reg1] Key= (der Schlüssel, in den der Wert kommt)"},
        ErrorCase{"PercentThatIsNoPlaceholder", kSettings + "[Reg1]\nKey=a\nValue=50% Rabatt\n",
                  "Zeile 7: Setup ersetzt in Value ab dem ersten \"%\" einen Platzhalter wie "
                  "%selected%; \"% Rabatt\" ist keiner und fiele weg. Ein \"%\" steht hier nur "
                  "für einen Platzhalter"},
        ErrorCase{"UninstallInfoMissing", kSettings + "StandardReg=1\n",
                  "Zeile 5: StandardReg=1 braucht den Abschnitt [UninstallInfo]; er nennt das "
                  "Produkt in Apps & Features"},
        ErrorCase{"DisplayNameMissing", kSettings + "StandardReg=1\n[UninstallInfo]\n",
                  "Zeile 6: Mit StandardReg=1 (Zeile 5) fehlt in [UninstallInfo] DisplayName= "
                  "(der Name in Apps & Features; ohne ihn zeigt Windows \"1\")"},
        ErrorCase{"DisplayIconPastTheFiles",
                  kSettings + "[UninstallInfo]\nDisplayIcon=2\n[Files]\na.txt=C:\\a.txt\n",
                  "Zeile 6: DisplayIcon=2 liegt außerhalb der Nutzlastliste (Nummern 1 bis 1)"},
        ErrorCase{"ShortcutFolderWithAPath",
                  kSettings + "[Link1]\nFolder=%Desktop%\\Tools\nTitle=a\nFile=C:\\a.exe\n",
                  "Zeile 6: Folder \"%Desktop%\\Tools\" nimmt Setup wörtlich als Ordner; "
                  "erlaubt sind %InstStandard%, %Programs%, %Desktop%, %SendTo% (ohne weiteren "
                  "Pfad) oder ein Ordner wie C:\\Verknüpfungen"},
        ErrorCase{"ShortcutTitleOfADevice",
                  kSettings + "[Link1]\nFolder=%desktop%\nTitle=Lpt\u00B3\nFile=C:\\a.exe\n",
                  "Zeile 7: Title \"Lpt³\" taugt nicht als Dateiname: Der Name ist unter Windows "
                  "einem Gerät vorbehalten (CON, PRN, AUX, NUL, COM0 bis COM9, COM¹ bis COM³, LPT0 "
                  "bis LPT9, LPT¹ bis LPT³, auch mit Endung)"},
        ErrorCase{"ShortcutToARelativePath",
                  kSettings + "[Link1]\nFolder=%Programs%\nTitle=a\nFile=bin\\a.exe\n",
                  "Zeile 8: File \"bin\\a.exe\": Das Ziel beginnt weder mit einem Laufwerk "
                  "(\"C:\\\") noch mit einem Platzhalter (\"%selected%\\\")"},
        ErrorCase{"MediumProgramNotOnTheMedium",
                  kSettings + "[ComponentInstall]\nCmpFile1=setup.exe /q\n",
                  "Zeile 6: CmpFile1 muss mit dem Namen einer Datei aus [Media] beginnen (Setup "
                  "startet sie von Medium 1), gefolgt von den Parametern"},
        ErrorCase{"LicenceWithoutItsFile", kSettings + "License=true\n",
                  "Zeile 5: License=True zeigt License.txt, aber [Media] bringt keine mit; sonst "
                  "zeigt die Seite \"Setup konnte keine Lizenzangaben finden.\""},
        ErrorCase{"EveryFaultAtOnce",
                  kSettings + "StandardReg=ja\n[Regsitry]\n[Files]\nweg=C:\\a\n",
                  "Zeile 5: StandardReg ist eine Zahl: 1 schaltet ein, 0 aus; \"ja\" ist keine "
                  "Zahl und gälte als aus. StandardReg=1 oder StandardReg=0 schreiben\n"
                  "Zeile 6: Unbekannter Abschnitt [Regsitry]; gemeint ist wohl [Registry]\n"
                  "Zeile 8: Quelldatei nicht gefunden: {root}/weg"}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    OutputFolder, BuildErrorsTest,
    ::testing::Values(
        ErrorCase{"ExistsAndIsNotEmpty", kSettings,
                  "Der Zielordner existiert und ist nicht leer: {root}/out (--force ersetzt einen "
                  "Setup-Ordner)",
                  Output::NotEmpty},
        ErrorCase{"IsAFile", kSettings, "Das Ziel ist kein Ordner: {root}/out", Output::NotAFolder},
        ErrorCase{"ParentIsMissing", kSettings,
                  "Der Ordner, in dem der Setup-Ordner entstehen soll, fehlt: {root}/fehlt",
                  Output::NoParent}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Destinations, BuildErrorsTest,
    ::testing::Values(
        ErrorCase{"Relative", kSettings + "[Files]\na.txt=Daten\\a.txt\n",
                  "Zeile 6: Ungültiges Ziel \"Daten\\a.txt\": Das Ziel beginnt weder mit einem "
                  "Laufwerk (\"C:\\\") noch mit einem Platzhalter (\"%selected%\\\")"},
        ErrorCase{"FolderOnly", kSettings + "[Files]\na.txt=C:\\Daten\\\n",
                  "Zeile 6: Ungültiges Ziel \"C:\\Daten\\\": Das Ziel endet mit \"\\\" statt mit "
                  "einem Dateinamen"},
        ErrorCase{"ForbiddenCharacter", kSettings + "[Files]\na.txt=%selected%\\Wer?.txt\n",
                  "Zeile 6: Ungültiges Ziel \"%selected%\\Wer?.txt\": Das Zeichen \"?\" ist in "
                  "Windows-Namen nicht erlaubt"},
        ErrorCase{"NotInWindows1252", kSettings + "[Files]\na.txt=C:\\Ω.txt\n",
                  "Zeile 6: Das Zeichen \"Ω\" (U+03A9) gibt es in Windows-1252 nicht"},
        ErrorCase{"TooLong", kSettings + "[Files]\na.txt=C:\\" + std::string(2045, 'x') + "\n",
                  "Zeile 6: Ungültiges Ziel \"C:\\" + std::string(2045, 'x') +
                      "\": Das Ziel ist länger als 2047 Zeichen"},
        ErrorCase{"Missing", kSettings + "[Files]\na.txt=\n", "Zeile 6: Das Ziel nach \"=\" fehlt"},
        ErrorCase{"TwiceInAnyCase",
                  kSettings + "[Files]\na.txt=%selected%\\Ärger.txt\nb.txt=%SELECTED%\\ärger.TXT\n",
                  "Zeile 7: Das Ziel \"%SELECTED%\\ärger.TXT\" steht doppelt in [Files] (zuerst in "
                  "Zeile 6)"}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    MalformedLines, BuildErrorsTest,
    ::testing::Values(
        ErrorCase{"OutsideASection", "AppName=Demo\n" + kSettings,
                  "Zeile 1: Eintrag außerhalb eines Abschnitts"},
        ErrorCase{"FileWithoutEquals", kSettings + "[Files]\na.txt\n", "Zeile 6: Zeile ohne \"=\""},
        ErrorCase{"ControlLineWithoutEquals", kSettings + "[Registry]\n\nRegCount\n",
                  "Zeile 7: Zeile ohne \"=\""},
        ErrorCase{"HeaderWithoutBracket", kSettings + "[Files\n",
                  "Zeile 5: Abschnittskopf ohne schließende \"]\""},
        ErrorCase{"SectionTwice", kSettings + "[Files]\n[settings]\n",
                  "Zeile 6: Der Abschnitt [settings] steht doppelt (zuerst in Zeile 1)"},
        ErrorCase{"NoSettings", "[Files]\na.txt=C:\\a.txt\n",
                  "Der Abschnitt [Settings] fehlt; er nennt das Produkt (AppName, Version, "
                  "Company)"},
        ErrorCase{"UnknownBuilderKey", kSettings + "[Builder]\nMedia=2\nCompression=9\n",
                  "Zeile 7: Unbekannter Schlüssel \"Compression\" in [Builder]; bekannt sind "
                  "Media, MediumSize, Uninstaller"},
        ErrorCase{"MisspeltBuilderKey", kSettings + "[Builder]\nMediumsSize=100\n",
                  "Zeile 6: Unbekannter Schlüssel \"MediumsSize\" in [Builder]; gemeint ist wohl "
                  "\"MediumSize\""},
        ErrorCase{"BuilderKeyTwice", kSettings + "[Builder]\nMedia=2\nmedia = 3\n",
                  "Zeile 7: Der Schlüssel \"media\" steht doppelt in [Builder] (zuerst in "
                  "Zeile 6)"},
        ErrorCase{"SplitSizeIsGone", kSettings + "[Builder]\nSplitSize=1457664\n",
                  "Zeile 6: SplitSize gibt es nicht mehr: Media=<Anzahl> teilt das Setup auf so "
                  "viele Medien auf, MediumSize=<Größe> auf Medien dieser Größe"},
        ErrorCase{"MediaNotANumber", kSettings + "[Builder]\nMedia=drei\n",
                  "Zeile 6: Media muss die Anzahl der Medien sein (1 bis 999), nicht \"drei\""},
        ErrorCase{"MediaZero", kSettings + "[Builder]\nMedia=0\n",
                  "Zeile 6: Media muss die Anzahl der Medien sein (1 bis 999), nicht \"0\""},
        ErrorCase{"MediumSizeWithBlank", kSettings + "[Builder]\nMediumSize=1,44 MB\n",
                  "Zeile 6: MediumSize muss eine Größe in Bytes sein, z. B. 1457664, 1400K oder "
                  "650M, nicht \"1,44 MB\""},
        ErrorCase{"MediumSizePast64Bits", kSettings + "[Builder]\nMediumSize=17179869184G\n",
                  "Zeile 6: MediumSize muss eine Größe in Bytes sein, z. B. 1457664, 1400K oder "
                  "650M, nicht \"17179869184G\""},
        ErrorCase{"ControlTextNotInWindows1252", kSettings + "[UninstallInfo]\nPublisher=Ωmega\n",
                  "Zeile 6: Das Zeichen \"Ω\" (U+03A9) gibt es in Windows-1252 nicht"},
        ErrorCase{"ControlTextNotUtf8", kSettings + "[UninstallInfo]\nPublisher=M\xFCller\n",
                  "Zeile 6: Kein gültiges UTF-8 (Byte 0xFC)"}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Components, BuildErrorsTest,
    ::testing::Values(
        ErrorCase{"WithoutExecutable", kSettings + "[Component1]\nFile=setup.exe\n",
                  "Zeile 5: [Component1] hat kein Executable"},
        ErrorCase{"WithoutFile", kComponentStart, "Zeile 5: [Component1] hat keine File-Zeile"},
        ErrorCase{"Gap",
                  kComponentStart + "File=setup.exe\n[Component3]\nExecutable=setup.exe\n"
                                    "File=setup.exe\n",
                  "Zeile 8: [Component3] folgt auf eine Lücke: [Component2] fehlt"},
        ErrorCase{"NumberWithLeadingZero", kSettings + "[Component01]\n",
                  "Zeile 5: Ungültige Nummer in [Component01]: die Abschnitte heißen "
                  "[Component1], [Component2], …"},
        ErrorCase{"UnknownKey", kComponentStart + "Parameter=/q\n",
                  "Zeile 7: Unbekannter Schlüssel \"Parameter\" in [Component1]; bekannt sind "
                  "Executable, File"},
        ErrorCase{"ExecutableTwice", kComponentStart + "Executable=setup.exe /q\n",
                  "Zeile 7: Executable steht doppelt in [Component1] (zuerst in Zeile 6)"},
        ErrorCase{"ExecutableNotAmongTheFiles",
                  kSettings + "[Component1]\nExecutable=setup.exe2 /q\nFile=setup.exe\n",
                  "Zeile 6: Executable muss mit dem Namen einer Datei aus [Component1] beginnen, "
                  "gefolgt von den Parametern"},
        ErrorCase{"TwoFilesOfOneName",
                  kComponentStart + "File=setup.exe\nFile=c/x.dat\n"
                                    "[Component2]\nExecutable=setup.exe\n"
                                    "File=setup.exe\nFile=d/x.dat\n",
                  "Zeile 12: Zwei verschiedene Dateien heißen im Komponentenarchiv \"x.dat\" (die "
                  "andere in Zeile 8)"},
        ErrorCase{"FileTwice", kComponentStart + "File=setup.exe\nFile=./setup.exe\n",
                  "Zeile 8: Die Datei steht doppelt in [Component1]"},
        ErrorCase{"FileNamedLikeTheList", kComponentStart + "File=setup.exe\nFile=$$EXEC.INI\n",
                  "Zeile 8: Der Name \"$$EXEC.INI\" ist der Komponentenliste vorbehalten"}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    MediaNames, BuildErrorsTest,
    ::testing::Values(
        ErrorCase{"ControlFile", kSettings + "[Media]\nLicense.txt=setup.INF\n",
                  "Zeile 6: Der Name \"setup.INF\" ist für eine Datei vergeben, die der Builder "
                  "selbst schreibt"},
        ErrorCase{"Library", kSettings + "[Media]\nLicense.txt=SzUnpack.dll\n",
                  "Zeile 6: Der Name \"SzUnpack.dll\" ist für eine Datei vergeben, die der "
                  "Builder selbst schreibt"},
        ErrorCase{"PayloadPart", kSettings + "[Media]\nLicense.txt=disk12.ID\n",
                  "Zeile 6: Der Name \"disk12.ID\" ist für eine Datei vergeben, die der Builder "
                  "selbst schreibt"},
        ErrorCase{"Twice", kSettings + "[Media]\nLicense.txt\na.txt = license.TXT\n",
                  "Zeile 7: Der Name \"license.TXT\" steht doppelt in [Media] (zuerst in Zeile "
                  "6)"},
        ErrorCase{"NotAWindowsName", kSettings + "[Media]\nLicense.txt=Lizenz?.txt\n",
                  "Zeile 6: Ungültiger Name im Setup-Ordner \"Lizenz?.txt\": Das Zeichen \"?\" "
                  "ist in Windows-Namen nicht erlaubt"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
