#pragma once

#include <string>
#include <vector>

namespace testing_support {

/// Uninstall.inf of the documented example run, line by line: Produkt 2.1 by
/// Firma in C:\Programme\Firma\Produkt 2.1 with two files, one extra
/// folder, one registry value and two shortcuts.
inline std::vector<std::string> ExampleUninstallLines() {
  return {
      ";Manuelle Deinstallation:",
      ";Ziehen Sie diese Datei auf \"Inst_Produkt_remove.exe\" im Windows-Ordner.",
      ";",
      "[Settings]",
      "Signature=\"#$Meravlunx_Tessarwolden$#\"",
      "AppName=\"Produkt\"",
      "Company=\"Firma\"",
      "Version=\"2.1\"",
      "StandardReg=1",
      "Marrowlink=0",
      "[Directories]",
      "MainDir=C:\\Programme\\Firma\\Produkt 2.1",
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
      "Path=\"C:\\WINDOWS\\Startmenü\\Programme\\Firma\\Produkt\\Produkt 2.1 deinstallieren.lnk\"",
      "[ProgramPath]",
      "Path=\"C:\\WINDOWS\\Startmenü\\Programme\\Firma\\Produkt\"",
  };
}

}  // namespace testing_support
