#include "tools/builder/WindowsPath.h"

#include <array>
#include <cstdint>

#include "tools/builder/Cp1252.h"

namespace builder {
namespace {

// The folders the setup resolves at install time, in lower case.
constexpr std::array<std::string_view, 14> kPlaceholders = {
    "%windir%",  "%selected%",   "%programs%",     "%desktop%", "%personal%",
    "%sendto%",  "%recent%",     "%programfiles%", "%appdata%", "%favorites%",
    "%mymusic%", "%mypictures%", "%myvideo%",      "%startup%",
};

// Names Windows keeps for devices, with any extension. COM and LPT take a
// digit or one of the superscript digits ¹ ² ³ (Windows-1252 B9, B2, B3).
constexpr std::array<std::string_view, 4> kDeviceNames = {"con", "prn", "aux", "nul"};
constexpr std::array<std::string_view, 2> kNumberedDevices = {"com", "lpt"};
constexpr std::string_view kDeviceDigits = "0123456789\xB9\xB2\xB3";

bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsDeviceName(std::string_view lowerBase) {
  for (std::string_view device : kDeviceNames) {
    if (lowerBase == device)
      return true;
  }
  for (std::string_view device : kNumberedDevices) {
    if (lowerBase.size() == device.size() + 1 && lowerBase.starts_with(device) &&
        kDeviceDigits.find(lowerBase.back()) != std::string_view::npos)
      return true;
  }
  return false;
}

// Checks the part behind the drive or placeholder and its backslash.
std::optional<std::string> FilePathProblem(std::string_view path) {
  if (path.empty())
    return "Der Pfad nach dem Laufwerk oder Platzhalter fehlt";
  if (path.back() == '\\')
    return "Das Ziel endet mit \"\\\" statt mit einem Dateinamen";
  return RelativePathProblem(path);
}

}  // namespace

bool IsKnownPlaceholder(std::string_view placeholder) {
  const std::string lower = Cp1252Lower(placeholder);
  for (std::string_view known : kPlaceholders) {
    if (lower == known)
      return true;
  }
  return false;
}

std::optional<std::string> CharacterProblem(std::string_view text) {
  for (char c : text) {
    const auto b = static_cast<uint8_t>(c);
    if (b < 0x20)
      return "Steuerzeichen im Namen";
    if (std::string_view("<>:\"|?*/\\").find(c) != std::string_view::npos)
      return std::string("Das Zeichen \"") + c + "\" ist in Windows-Namen nicht erlaubt";
  }
  return std::nullopt;
}

std::optional<std::string> RelativePathProblem(std::string_view path) {
  size_t start = 0;
  while (true) {
    const size_t end = path.find('\\', start);
    const std::string_view segment =
        path.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (segment.empty())
      return "Leerer Pfadteil (\"\\\\\")";
    if (std::optional<std::string> problem = NameProblem(segment))
      return problem;
    if (end == std::string_view::npos)
      return std::nullopt;
    start = end + 1;
  }
}

std::optional<std::string> NameProblem(std::string_view name) {
  if (name.empty())
    return "Leerer Name";
  if (name == "." || name == "..")
    return "Der Pfadteil \"" + std::string(name) + "\" ist nicht erlaubt";
  if (std::optional<std::string> problem = CharacterProblem(name))
    return problem;
  // Windows drops these when it creates the file, which would then not be
  // found under the name the setup knows.
  if (name.back() == '.' || name.back() == ' ')
    return "Ein Name darf nicht mit Punkt oder Leerzeichen enden";
  // Windows also takes "nul .txt" for the device.
  std::string_view base = name.substr(0, name.find('.'));
  base = base.substr(0, base.find_last_not_of(' ') + 1);
  if (IsDeviceName(Cp1252Lower(base)))
    return "Der Name ist unter Windows einem Gerät vorbehalten (CON, PRN, AUX, NUL, COM0 bis "
           "COM9, COM¹ bis COM³, LPT0 bis LPT9, LPT¹ bis LPT³, auch mit Endung)";
  return std::nullopt;
}

std::optional<std::string> DriveFolderProblem(std::string_view folder) {
  if (folder.size() < 3 || !IsAsciiLetter(folder[0]) || folder[1] != ':' || folder[2] != '\\')
    return "Ein Ordner auf einem Laufwerk beginnt mit Laufwerk, \":\" und \"\\\" (\"C:\\Daten\")";
  if (folder.size() == 3)
    return std::nullopt;
  return RelativePathProblem(folder.substr(3));
}

std::optional<std::string> DestinationFolderProblem(std::string_view folder) {
  if (!folder.empty() && folder[0] == '%') {
    const size_t close = folder.find('%', 1);
    if (close == std::string_view::npos)
      return "Der Platzhalter ist nicht mit \"%\" abgeschlossen";
    if (!IsKnownPlaceholder(folder.substr(0, close + 1)))
      return "Unbekannter Platzhalter";
    if (folder.size() == close + 1)
      return std::nullopt;
    if (folder[close + 1] != '\\')
      return "Nach dem Platzhalter muss \"\\\" folgen";
    return RelativePathProblem(folder.substr(close + 2));
  }
  if (folder.size() >= 2 && IsAsciiLetter(folder[0]) && folder[1] == ':')
    return DriveFolderProblem(folder);
  return "Der Zielordner beginnt weder mit einem Laufwerk (\"C:\\\") noch mit einem Platzhalter "
         "(\"%selected%\")";
}

std::optional<std::string> DestinationProblem(std::string_view destination) {
  if (destination.size() > kMaxDestinationLength)
    return "Das Ziel ist länger als " + std::to_string(kMaxDestinationLength) + " Zeichen";
  if (destination.size() >= 2 && IsAsciiLetter(destination[0]) && destination[1] == ':') {
    if (destination.size() < 3 || destination[2] != '\\')
      return "Nach dem Laufwerk muss \"\\\" folgen";
    return FilePathProblem(destination.substr(3));
  }
  if (!destination.empty() && destination[0] == '%') {
    const size_t close = destination.find('%', 1);
    if (close == std::string_view::npos)
      return "Der Platzhalter ist nicht mit \"%\" abgeschlossen";
    const std::string_view placeholder = destination.substr(0, close + 1);
    if (!IsKnownPlaceholder(placeholder))
      return "Unbekannter Platzhalter";
    if (destination.size() == close + 1 || destination[close + 1] != '\\')
      return "Nach dem Platzhalter muss \"\\\" folgen";
    return FilePathProblem(destination.substr(close + 2));
  }
  return "Das Ziel beginnt weder mit einem Laufwerk (\"C:\\\") noch mit einem Platzhalter "
         "(\"%selected%\\\")";
}

}  // namespace builder
