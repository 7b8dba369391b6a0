#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <map>
#include <string>
#include <vector>

#include "engine/PayloadFormat.h"
#include "tests/unit/builder/BuilderTest.h"
#include "tools/builder/BuildError.h"
#include "unpack/Directory.h"
#include "unpack/EntryData.h"

namespace {

using builder_test::FindEntry;
using builder_test::FolderNames;
using builder_test::ReadBytes;
using builder_test::ReadZip;
using builder_test::ZipEntry;
namespace fs = std::filesystem;
namespace payload = engine::payload;

constexpr int32_t kDeflated = ZIP_CM_DEFLATE;

const std::string kSettings = "[Settings]\nAppName=Demo\nVersion=1.0\nCompany=Firma\n";

// Every byte value, several times over, so that the data compresses.
std::string AllBytes() {
  std::string bytes;
  for (int round = 0; round < 8; ++round) {
    for (int b = 0; b < 256; ++b)
      bytes += static_cast<char>(b);
  }
  return bytes;
}

// The plain text of a stored payload list, checking that only whole lines
// were scrambled and every line break is a plain CR LF.
std::string UnscrambledList(const std::string& stored) {
  std::string plain;
  size_t start = 0;
  while (start < stored.size()) {
    const size_t end = stored.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "last line without CR LF";
    if (end == std::string::npos)
      break;
    const std::string line = stored.substr(start, end - start);
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "stray line break inside a line";
    plain += payload::UnscrambleLine(line) + "\r\n";
    start = end + 2;
  }
  return plain;
}

class SetupFolderTest : public builder_test::ScratchTest {};

TEST_F(SetupFolderTest, PayloadPacksTheFilesInDescriptionOrderAndTheScrambledList) {
  Source("product/Liesmich.txt", "Willkommen\r\n");
  Source("product/leer.dat", "");
  Source("product/bytes.bin", AllBytes());
  Source("product/Größe.txt", "Maße");
  Build(kSettings +
        "[Files]\n"
        "product/Liesmich.txt=%selected%\\Liesmich.txt\n"
        "  product/leer.dat = C:\\Daten\\leer.dat  \n"
        "product/bytes.bin=%ProgramFiles%\\Firma\\bytes.bin\n"
        "product/Größe.txt=%selected%\\Daten\\Größe.txt\n");

  EXPECT_EQ(FolderNames(out), (std::set<std::string>{"Setup.inf", "Setup.szp"}));
  const std::vector<ZipEntry> entries = ReadZip(ReadBytes(out / "Setup.szp"));
  std::vector<std::string> names;
  for (const ZipEntry& entry : entries) {
    names.push_back(entry.name);
    EXPECT_EQ(entry.method, kDeflated) << entry.name;
  }
  EXPECT_EQ(names, (std::vector<std::string>{"1", "2", "3", "4", "(listfile)"}));
  EXPECT_EQ(FindEntry(entries, "1").data, "Willkommen\r\n");
  EXPECT_EQ(FindEntry(entries, "2").data, "");
  EXPECT_EQ(FindEntry(entries, "3").data, AllBytes());
  EXPECT_EQ(FindEntry(entries, "4").data, "Maße");

  const std::string stored = FindEntry(entries, "(listfile)").data;
  EXPECT_EQ(stored.find("Listfile"), std::string::npos) << "the list is stored plain";
  EXPECT_EQ(UnscrambledList(stored),
            "[Listfile]\r\n"
            "FileCount=4\r\n"
            "1=%selected%\\Liesmich.txt\r\n"
            "2=C:\\Daten\\leer.dat\r\n"
            "3=%ProgramFiles%\\Firma\\bytes.bin\r\n"
            "4=%selected%\\Daten\\Gr\xF6\xDF"
            "e.txt\r\n");
}

TEST_F(SetupFolderTest, ControlFilePassesTheSectionsThroughInAnsiWithCrLf) {
  Source("a.txt", "a");
  Build(
      "\xEF\xBB\xBF; Kommentar\n"
      "[Settings]\r\n"
      "AppName=Tessarwolden Demo\r\n"
      "# noch ein Kommentar\n"
      "Version = 1.0 \n"
      "Company=Müller & Söhne €\n"
      "\n"
      "[Files]\n"
      "a.txt=%selected%\\a.txt\n"
      "[Registry]\n"
      "RegCount=1\n"
      "[Reg1]\n"
      "Key=Software\\Müller\n"
      "  Value = %selected%\\Pfad;mit=Zeichen  \n");

  EXPECT_EQ(ReadBytes(out / "Setup.inf"),
            "[Settings]\r\n"
            "AppName=Tessarwolden Demo\r\n"
            "Version = 1.0 \r\n"
            "Company=M\xFCller & S\xF6hne \x80\r\n"
            "Splitted=false\r\n"
            "\r\n"
            "[Registry]\r\n"
            "RegCount=1\r\n"
            "\r\n"
            "[Reg1]\r\n"
            "Key=Software\\M\xFCller\r\n"
            "  Value = %selected%\\Pfad;mit=Zeichen  \r\n"
            "\r\n"
            "[Directories]\r\n"
            "FolderCount=0\r\n"
            "\r\n"
            "[Links]\r\n"
            "LinkCount=0\r\n");
}

// Setup.exe reads a missing count as 1 (a folder beside the target, an empty
// value at the root of HKLM, a shortcut "Link.lnk"): the builder writes
// every count from its entries, and a DisplayIcon may name a destination.
TEST_F(SetupFolderTest, CountsAndTheIconNumberAreWrittenFromTheEntries) {
  Source("a.txt", "a");
  Source("prog/produkt.exe", "MZ");
  Source("nach.exe", "MZ nach");
  Build(kSettings +
        "[Files]\n"
        "a.txt=%selected%\\a.txt\n"
        "prog=%selected%\\bin\n"
        "[Media]\n"
        "nach.exe\n"
        "[UninstallInfo]\n"
        "DisplayIcon=%SELECTED%\\bin\\Produkt.exe\n"
        "[Reg2]\nKey=b\n"
        "[Reg1]\nKey=a\n"
        "[Directories]\nFolder1=\\Daten\n"
        "[ComponentInstall]\nCmpFile1=nach.exe /q\n");

  EXPECT_EQ(ReadBytes(out / "Setup.inf"),
            "[Settings]\r\nAppName=Demo\r\nVersion=1.0\r\nCompany=Firma\r\nSplitted=false\r\n"
            "\r\n[UninstallInfo]\r\nDisplayIcon=2\r\n"
            "\r\n[Reg2]\r\nKey=b\r\n"
            "\r\n[Reg1]\r\nKey=a\r\n"
            "\r\n[Directories]\r\nFolder1=\\Daten\r\nFolderCount=1\r\n"
            "\r\n[ComponentInstall]\r\nCmpFile1=nach.exe /q\r\nCmpCount=1\r\n"
            "\r\n[Registry]\r\nRegCount=2\r\n"
            "\r\n[Links]\r\nLinkCount=0\r\n");
}

// Setup.exe reads License.txt and Information.txt as ANSI, or as UTF-8 after
// a byte-order mark.
TEST_F(SetupFolderTest, PageTextsInUtf8WithoutByteOrderMarkBecomeAnsi) {
  struct Case {
    std::string name;
    std::string source;
    std::string written;
  };
  const std::string bom = "\xEF\xBB\xBF";
  for (const Case& c : std::vector<Case>{
           {"UTF-8", "Lizenz für Müller – 5 €\r\n", "Lizenz f\xFCr M\xFCller \x96 5 \x80\r\n"},
           {"UTF-8 with mark", bom + "Lizenz für Ω\r\n", bom + "Lizenz für Ω\r\n"},
           {"ANSI", "Lizenz f\xFCr M\xFCller\r\n", "Lizenz f\xFCr M\xFCller\r\n"},
           {"ASCII", "License\n", "License\n"},
       }) {
    SCOPED_TRACE(c.name);
    fs::remove_all(out);
    Source("texte/lizenz.txt", c.source);
    Source("texte/info.txt", c.source);
    Build(kSettings + "License=True\nInformation=true\n[Media]\ntexte/lizenz.txt=LICENSE.TXT\n" +
          "texte/info.txt=Information.txt\n");
    EXPECT_EQ(ReadBytes(out / "LICENSE.TXT"), c.written);
    EXPECT_EQ(ReadBytes(out / "Information.txt"), c.written);
  }

  Source("texte/lizenz.txt", "Zeile 1\nZeile 2 mit Ω\n");
  try {
    Build(kSettings + "License=True\n[Media]\ntexte/lizenz.txt=License.txt\n");
    ADD_FAILURE() << "no error raised";
  } catch (const builder::BuildError& error) {
    EXPECT_STREQ(error.what(),
                 "Zeile 7: License.txt ist UTF-8 ohne Byte-Order-Mark, und Setup liest es als "
                 "ANSI: Das Zeichen \"Ω\" (U+03A9) gibt es in Windows-1252 nicht (Zeile 2 der "
                 "Datei). Das Zeichen ersetzen oder die Datei als UTF-8 mit Byte-Order-Mark "
                 "speichern");
  }
}

// The text box of the licence page does not wrap.
TEST_F(SetupFolderTest, LongLinesOfAPageTextAreReportedOnce) {
  Source("License.txt", "kurz\n" + std::string(81, 'x') + "\n" + std::string(80, 'y') + "\r\n" +
                            std::string(40, 'z') + "ä" + std::string(60, 'z') + "\n");
  builder_test::WriteBytes(root / "test.setup", kSettings + "License=True\n[Media]\nLicense.txt\n");
  const builder::Description description = builder::ReadDescription(root / "test.setup");
  EXPECT_EQ(description.warnings,
            (std::vector<builder::Problem>{
                {7,
                 "License.txt: Zeile 2 der Datei hat 81 Zeichen (und 1 weitere Zeilen über 80); "
                 "das Textfeld bricht nicht um, der Leser muss seitwärts rollen. Zeilen bis 80 "
                 "Zeichen passen"}}));
}

TEST_F(SetupFolderTest, ComponentArchiveHoldsItsListAndEveryProgramsFilesSideBySide) {
  Source("comp/a/setup.exe", "MZ setup");
  Source("comp/a/data.cab", AllBytes());
  Source("comp/b/install.exe", "MZ install");
  Source("comp/b/Prüfung.dat", "Prüfung");
  Source("comp/shared/common.dll", "MZ gemeinsam");
  Source("a.txt", "a");
  Build(kSettings +
        "[Files]\n"
        "a.txt=%selected%\\a.txt\n"
        "[Component1]\n"
        "Executable=setup.exe /quiet /norestart\n"
        "File=comp/a/setup.exe\n"
        "File=comp/a/data.cab\n"
        "File=comp/shared/common.dll\n"
        "[Component2]\n"
        "File=comp/b/install.exe\n"
        "File=comp/b/Prüfung.dat\n"
        "File=comp/a/../shared/common.dll\n"
        "Executable=Install.exe\n");

  EXPECT_EQ(FolderNames(out), (std::set<std::string>{"Setup.inf", "Setup.szp"}));
  const std::vector<ZipEntry> entries = ReadZip(ReadBytes(out / "Setup.szp"));
  std::vector<std::string> names;
  for (const ZipEntry& entry : entries)
    names.push_back(entry.name);
  EXPECT_EQ(names, (std::vector<std::string>{"1", "(listfile)", "to_execute"}));
  const ZipEntry outer = FindEntry(entries, std::string(payload::kComponentEntry));
  EXPECT_EQ(outer.method, kDeflated);

  const std::vector<ZipEntry> inner = ReadZip(outer.data);
  EXPECT_EQ(inner, (std::vector<ZipEntry>{
                       {"$$exec.ini",
                        "[General]\r\n"
                        "AppCount=2\r\n"
                        "[1]\r\n"
                        "FileCount=3\r\n"
                        "File1=setup.exe\r\n"
                        "File2=data.cab\r\n"
                        "File3=common.dll\r\n"
                        "ExecutableFile=setup.exe /quiet /norestart\r\n"
                        "[2]\r\n"
                        "FileCount=3\r\n"
                        "File1=install.exe\r\n"
                        "File2=Pr\xFC"
                        "fung.dat\r\n"
                        "File3=common.dll\r\n"
                        "ExecutableFile=Install.exe\r\n",
                        kDeflated},
                       {"setup.exe", "MZ setup", kDeflated},
                       {"data.cab", AllBytes(), kDeflated},
                       {"common.dll", "MZ gemeinsam", kDeflated},
                       {"install.exe", "MZ install", kDeflated},
                       {"Prüfung.dat", "Prüfung", kDeflated},
                   }));
}

TEST_F(SetupFolderTest, UninstallerProgramAndLibraryAreAddedOnlyWhenGiven) {
  Source("a.txt", "a");
  Source("uninstall.exe", "MZ deinstallieren");
  Source("build/Setup.exe", "MZ setup");
  Source("build/SZUNPACK.DLL", "MZ entpacken");

  const builder::BuildResult bare = Build(kSettings + "[Files]\na.txt=C:\\a.txt\n");
  EXPECT_EQ(FolderNames(out), (std::set<std::string>{"Setup.inf", "Setup.szp"}));
  for (const ZipEntry& entry : ReadZip(ReadBytes(out / "Setup.szp")))
    EXPECT_NE(entry.name, payload::kUninstallerEntry);
  ASSERT_EQ(bare.notes.size(), 3u);
  EXPECT_NE(bare.notes[0].find("Setup.exe fehlt noch"), std::string::npos);
  EXPECT_NE(bare.notes[1].find("SZUNPACK.DLL fehlt noch"), std::string::npos);
  EXPECT_NE(bare.notes[2].find("Kein Deinstallationsprogramm"), std::string::npos);

  fs::remove_all(out);
  const builder::BuildResult full =
      Build(kSettings + "[Builder]\nUninstaller=uninstall.exe\n[Files]\na.txt=C:\\a.txt\n",
            {out, root / "build/Setup.exe", root / "build/SZUNPACK.DLL"});
  EXPECT_EQ(FolderNames(out),
            (std::set<std::string>{"Setup.inf", "Setup.szp", "Setup.exe", "SZUNPACK.DLL"}));
  EXPECT_EQ(ReadBytes(out / "Setup.exe"), "MZ setup");
  EXPECT_EQ(ReadBytes(out / "SZUNPACK.DLL"), "MZ entpacken");
  EXPECT_EQ(FindEntry(ReadZip(ReadBytes(out / "Setup.szp")), "in32i$$.ex_").data,
            "MZ deinstallieren");
  EXPECT_TRUE(full.notes.empty());
}

TEST_F(SetupFolderTest, TheGivenUninstallerIsPackedUnlessTheDescriptionNamesOne) {
  Source("a.txt", "a");
  Source("build/Uninstall.exe", "MZ gebaut");
  Source("eigenes.exe", "MZ eigenes");
  builder::BuildOptions options{out, std::nullopt, std::nullopt, root / "build/Uninstall.exe"};

  const builder::BuildResult built = Build(kSettings + "[Files]\na.txt=C:\\a.txt\n", options);
  EXPECT_EQ(FindEntry(ReadZip(ReadBytes(out / "Setup.szp")), "in32i$$.ex_").data, "MZ gebaut");
  for (const std::string& note : built.notes)
    EXPECT_EQ(note.find("Deinstallationsprogramm"), std::string::npos) << note;

  fs::remove_all(out);
  Build(kSettings + "[Builder]\nUninstaller=eigenes.exe\n[Files]\na.txt=C:\\a.txt\n", options);
  EXPECT_EQ(FindEntry(ReadZip(ReadBytes(out / "Setup.szp")), "in32i$$.ex_").data, "MZ eigenes");

  fs::remove_all(out);
  options.uninstaller = root / "build/fehlt.exe";
  EXPECT_THROW(Build(kSettings + "[Files]\na.txt=C:\\a.txt\n", options), builder::BuildError);
  EXPECT_FALSE(fs::exists(out)) << "nothing is written";
}

TEST_F(SetupFolderTest, MediaFilesAreCopiedUnderTheirOwnOrTheGivenName) {
  Source("texte/License.txt", "Lizenz f\xFCr alle\r\n");
  Source("texte/info-de.txt", "Hinweise\r\n");
  Source("tools/Treiber Setup.exe", "MZ treiber");
  Build(kSettings +
        "[Media]\n"
        "texte/License.txt\n"
        "texte/info-de.txt = Information.txt\n"
        "tools/Treiber Setup.exe\n");

  EXPECT_EQ(FolderNames(out), (std::set<std::string>{"Setup.inf", "Setup.szp", "License.txt",
                                                     "Information.txt", "Treiber Setup.exe"}));
  EXPECT_EQ(ReadBytes(out / "License.txt"), "Lizenz f\xFCr alle\r\n");
  EXPECT_EQ(ReadBytes(out / "Information.txt"), "Hinweise\r\n");
  EXPECT_EQ(ReadBytes(out / "Treiber Setup.exe"), "MZ treiber");
}

TEST_F(SetupFolderTest, AnEmptyOutputFolderIsFilledAndNothingElseIsLeftBeside) {
  Source("a.txt", "a");
  fs::create_directory(out);
  Build(kSettings + "[Files]\na.txt=C:\\a.txt\n", {out.string() + "/", {}, {}});
  EXPECT_EQ(FolderNames(out), (std::set<std::string>{"Setup.inf", "Setup.szp"}));
  EXPECT_EQ(FolderNames(root), (std::set<std::string>{"a.txt", "out", "test.setup"}));
}

// Generated entries carry the date of the newest packed file rather than the
// time of the build, so that the same sources give the same payload.
TEST_F(SetupFolderTest, GeneratedEntriesAreDatedLikeTheNewestPackedFile) {
  Source("alt.txt", "alt");
  Source("neu.txt", "neu");
  Source("comp/setup.exe", "MZ setup");
  const auto at = [](int year, int month, int day) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = 12;
    local.tm_isdst = -1;
    return std::mktime(&local);
  };
  const auto setTime = [&](const char* name, std::time_t time) {
    fs::last_write_time(root / name, fs::file_time_type::clock::from_sys(
                                         std::chrono::system_clock::from_time_t(time)));
  };
  setTime("alt.txt", at(2019, 5, 6));
  setTime("neu.txt", at(2021, 3, 4));
  setTime("comp/setup.exe", at(2020, 1, 2));
  Build(kSettings +
        "[Files]\nalt.txt=C:\\alt.txt\nneu.txt=C:\\neu.txt\n"
        "[Component1]\nExecutable=setup.exe\nFile=comp/setup.exe\n");

  const std::string archive = ReadBytes(out / "Setup.szp");
  EXPECT_EQ(builder_test::ZipTimes(archive),
            (std::map<std::string, time_t>{{"1", at(2019, 5, 6)},
                                           {"2", at(2021, 3, 4)},
                                           {"(listfile)", at(2021, 3, 4)},
                                           {"to_execute", at(2021, 3, 4)}}));
  EXPECT_EQ(builder_test::ZipTimes(FindEntry(ReadZip(archive), "to_execute").data),
            (std::map<std::string, time_t>{{"$$exec.ini", at(2021, 3, 4)},
                                           {"setup.exe", at(2020, 1, 2)}}));
}

// The setup unpacks with its own unzip library, not libzip: every entry the
// builder writes must come out of it whole.
TEST_F(SetupFolderTest, TheSetupsOwnUnzipCodeReadsEveryPayloadEntry) {
  Source("a.bin", AllBytes());
  Source("b.txt", "");
  Source("uninstall.exe", "MZ deinstallieren");
  Source("comp/setup.exe", "MZ setup");
  Build(kSettings +
        "[Builder]\nUninstaller=uninstall.exe\n"
        "[Files]\na.bin=C:\\a.bin\nb.txt=%selected%\\b.txt\n"
        "[Component1]\nExecutable=setup.exe\nFile=comp/setup.exe\n");
  const std::vector<ZipEntry> expected = ReadZip(ReadBytes(out / "Setup.szp"));
  ASSERT_EQ(expected.size(), 5u);

  const std::unique_ptr<unpack::InputFile> file =
      unpack::InputFile::Open((out / "Setup.szp").string());
  ASSERT_NE(file, nullptr);
  const std::optional<unpack::DirectoryLocation> where = unpack::LocateDirectory(*file);
  ASSERT_TRUE(where.has_value());
  unpack::DirectoryWalker walker(*file, *where);
  std::vector<ZipEntry> read;
  while (const unpack::CentralEntry* entry = walker.Next()) {
    ZipEntry got{std::string(entry->rawName), "", entry->header.method};
    const std::optional<uint64_t> start = unpack::LocateData(*file, entry->extent);
    ASSERT_TRUE(start.has_value()) << got.name;
    const unpack::DataResult result = unpack::ExtractData(
        *file, entry->header, entry->extent, *start,
        [&](const uint8_t* data, size_t size) {
          got.data.append(reinterpret_cast<const char*>(data), size);
          return true;
        },
        [](size_t) { return true; });
    EXPECT_EQ(result, unpack::DataResult::Ok) << got.name;
    read.push_back(std::move(got));
  }
  EXPECT_FALSE(walker.Damaged());
  EXPECT_EQ(read, expected);
}

}  // namespace
