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

// Names Windows keeps for devices, with any extension.
constexpr std::array<std::string_view, 22> kDeviceNames = {
    "con",  "prn",  "aux",  "nul",  "com1", "com2", "com3", "com4", "com5", "com6", "com7",
    "com8", "com9", "lpt1", "lpt2", "lpt3", "lpt4", "lpt5", "lpt6", "lpt7", "lpt8", "lpt9",
};

bool IsAsciiLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsKnownPlaceholder(std::string_view placeholder) {
  const std::string lower = Cp1252Lower(placeholder);
  for (std::string_view known : kPlaceholders) {
    if (lower == known)
      return true;
  }
  return false;
}

// Checks the part behind the drive or placeholder and its backslash.
std::optional<std::string> RelativePathProblem(std::string_view path) {
  if (path.empty())
    return "Der Pfad nach dem Laufwerk oder Platzhalter fehlt";
  if (path.back() == '\\')
    return "Das Ziel endet mit \"\\\" statt mit einem Dateinamen";
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

}  // namespace

std::optional<std::string> NameProblem(std::string_view name) {
  if (name.empty())
    return "Leerer Name";
  if (name == "." || name == "..")
    return "Der Pfadteil \"" + std::string(name) + "\" ist nicht erlaubt";
  for (char c : name) {
    const auto b = static_cast<uint8_t>(c);
    if (b < 0x20)
      return "Steuerzeichen im Namen";
    if (std::string_view("<>:\"|?*/\\").find(c) != std::string_view::npos)
      return std::string("Das Zeichen \"") + c + "\" ist in Windows-Namen nicht erlaubt";
  }
  // Windows drops these when it creates the file, which would then not be
  // found under the name the setup knows.
  if (name.back() == '.' || name.back() == ' ')
    return "Ein Name darf nicht mit Punkt oder Leerzeichen enden";
  const std::string base = Cp1252Lower(name.substr(0, name.find('.')));
  for (std::string_view device : kDeviceNames) {
    if (base == device)
      return "Der Name ist unter Windows einem Gerät vorbehalten (CON, PRN, AUX, NUL, COM1 bis "
             "COM9, LPT1 bis LPT9)";
  }
  return std::nullopt;
}

std::optional<std::string> DestinationProblem(std::string_view destination) {
  if (destination.size() > kMaxDestinationLength)
    return "Das Ziel ist länger als " + std::to_string(kMaxDestinationLength) + " Zeichen";
  if (destination.size() >= 2 && IsAsciiLetter(destination[0]) && destination[1] == ':') {
    if (destination.size() < 3 || destination[2] != '\\')
      return "Nach dem Laufwerk muss \"\\\" folgen";
    return RelativePathProblem(destination.substr(3));
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
    return RelativePathProblem(destination.substr(close + 2));
  }
  return "Das Ziel beginnt weder mit einem Laufwerk (\"C:\\\") noch mit einem Platzhalter "
         "(\"%selected%\\\")";
}

}  // namespace builder
