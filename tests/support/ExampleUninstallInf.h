#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

/// The lines Uninstall.inf of Produkt begins with, up to [Directories]
/// MainDir.
inline std::vector<std::string> ProduktHeaderLines(std::string_view company,
                                                   std::string_view version, bool standardReg,
                                                   bool marrowlink, std::string_view mainDir) {
  return {
      ";Manuelle Deinstallation:",
      ";Ziehen Sie diese Datei auf \"Inst_Produkt_remove.exe\" im Windows-Ordner.",
      ";",
      "[Settings]",
      "Signature=\"#$Meravlunx_Tessarwolden$#\"",
      "AppName=\"Produkt\"",
      "Company=\"" + std::string(company) + "\"",
      "Version=\"" + std::string(version) + "\"",
      standardReg ? "StandardReg=1" : "StandardReg=0",
      marrowlink ? "Marrowlink=1" : "Marrowlink=0",
      "[Directories]",
      "MainDir=" + std::string(mainDir),
  };
}

/// `head` followed by `tail`.
inline std::vector<std::string> Joined(std::vector<std::string> head,
                                       const std::vector<std::string>& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

/// Uninstall.inf of the documented example run, line by line: Produkt 2.1 by
/// Firma in C:\Programme\Firma\Produkt 2.1 with two files, one extra
/// folder, one registry value and two shortcuts.
inline std::vector<std::string> ExampleUninstallLines() {
  const std::vector<std::string> tail = {
      "[Files]",
      "FileCount=2",
      "File1=C:\\Programme\\Firma\\Produkt 2.1\\produkt.exe",
      "File2=C:\\Programme\\Firma\\Produkt 2.1\\liesmich.txt",
      "[ExtraFiles]",
      "ExtraCount=2",
      "ExFile1=C:\\Programme\\Firma\\Produkt 2.1\\produkt.exe",
      "ExFile2=C:\\Programme\\Firma\\Produkt 2.1\\liesmich.txt",
      "[ExtraDir]",
      "DirCount=1",
      "Dir1=C:\\Programme\\Firma\\Produkt 2.1\\Daten",
      "[Registry]",
      "RegCount=1",
      "[Reg1]",
      "Root=HKCU",
      "Key=\\Software\\Firma\\Produkt",
      "Title=Pfad",
      "[Links]",
      "LinkCount=2",
      "[Link1]",
      "Path=\"C:\\WINDOWS\\Startmenü\\Programme\\Firma\\Produkt\\Produkt.lnk\"",
      "[Link2]",
      "Path=\"C:\\WINDOWS\\Startmenü\\Programme\\Firma\\Produkt\\Produkt 2.1 "
      "deinstallieren.lnk\"",
      "[ProgramPath]",
      "Path=\"C:\\WINDOWS\\Startmenü\\Programme\\Firma\\Produkt\"",
  };
  return Joined(
      ProduktHeaderLines("Firma", "2.1", true, false, "C:\\Programme\\Firma\\Produkt 2.1"), tail);
}

}  // namespace testing_support
