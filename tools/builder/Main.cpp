// setup-builder: makes a setup folder from a description file.

#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/builder/BuildError.h"
#include "tools/builder/Description.h"
#include "tools/builder/MediaPlan.h"
#include "tools/builder/SetupBuilder.h"

namespace {

namespace fs = std::filesystem;

// The version of the setup program family the builder belongs to.
constexpr std::string_view kVersion = "setup-builder (Tessarwolden) 1.2\n";

constexpr std::string_view kUsage =
    "Aufruf: setup-builder [Optionen] <Beschreibung> <Setup-Ordner>\n"
    "        setup-builder --dry-run [Optionen] <Beschreibung> [<Setup-Ordner>]\n";

constexpr std::string_view kHelp =
    "Macht aus einer Beschreibung einen Setup-Ordner für Setup.exe (Setup.inf, Setup.szp,\n"
    "die Mediendateien) oder, mit Media/--media, einen Ordner je Installationsmedium.\n"
    "\n"
    "Optionen:\n"
    "  --setup-exe PFAD       Setup.exe, die in den Setup-Ordner (auf Medium 1) kommt\n"
    "  --unzip-library PFAD   SZUNPACK.DLL, die in den Setup-Ordner (auf Medium 1) kommt\n"
    "  --uninstaller PFAD     das Deinstallationsprogramm, das die Nutzlast trägt;\n"
    "                         ohne die Option das Uninstall.exe neben dem Builder oder\n"
    "                         aus dem Windows-Build ([Builder] Uninstaller= geht vor)\n"
    "  --media N              genau N Medien: Medium1 mit Setup.exe, Medium2 … mit der\n"
    "                         gleichmäßig geteilten Nutzlast (statt [Builder] Media=)\n"
    "  --medium-size GRÖSSE   Medien dieser Größe in Bytes, z. B. 1457664, 1400K, 650M\n"
    "                         (statt [Builder] MediumSize=)\n"
    "  --force                einen bestehenden Setup-Ordner ersetzen\n"
    "  --dry-run              prüfen und zeigen, was entstünde (Setup.inf, Nutzlastliste,\n"
    "                         Medien), ohne etwas zu schreiben\n"
    "  --help                 diese Hilfe\n"
    "  --version              die Version\n"
    "\n"
    "Die Beschreibung und der Setup-Ordner sind in docs/builder.md beschrieben.\n"
    "Rückgabe: 0 erstellt, 1 Fehler in der Beschreibung oder beim Schreiben, 2 falscher Aufruf.\n";

struct Arguments {
  std::string description;
  builder::BuildOptions options;
  bool dryRun = false;
  bool uninstallerGiven = false;
};

enum class Parsed { Run, Done, Wrong };

// Says why the arguments do not fit the usage.
Parsed Wrong(const std::string& why) {
  std::cerr << "setup-builder: " << why << "\n" << kUsage;
  return Parsed::Wrong;
}

Parsed ParseArguments(int argc, char** argv, Arguments& arguments) {
  std::vector<std::string> positional;
  for (int k = 1; k < argc; ++k) {
    const std::string_view arg = argv[k];
    if (arg == "--help") {
      std::cout << kUsage << "\n" << kHelp;
      return Parsed::Done;
    }
    if (arg == "--version") {
      std::cout << kVersion;
      return Parsed::Done;
    }
    if (arg == "--force" || arg == "--dry-run") {
      (arg == "--force" ? arguments.options.force : arguments.dryRun) = true;
      continue;
    }
    const bool path = arg == "--setup-exe" || arg == "--unzip-library" || arg == "--uninstaller";
    if (path || arg == "--media" || arg == "--medium-size") {
      if (k + 1 == argc)
        return Wrong(std::string(arg) + " braucht " + (path ? "einen Pfad" : "einen Wert"));
      const std::string value = argv[++k];
      builder::BuildOptions& options = arguments.options;
      const bool given = arg == "--setup-exe"       ? options.setupExe.has_value()
                         : arg == "--unzip-library" ? options.unzipLibrary.has_value()
                         : arg == "--uninstaller"   ? options.uninstaller.has_value()
                         : arg == "--media"         ? options.media.has_value()
                                                    : options.mediumSize.has_value();
      if (given)
        return Wrong(std::string(arg) + " ist doppelt angegeben");
      if (arg == "--setup-exe") {
        options.setupExe = value;
      } else if (arg == "--unzip-library") {
        options.unzipLibrary = value;
      } else if (arg == "--uninstaller") {
        options.uninstaller = value;
        arguments.uninstallerGiven = true;
      } else if (arg == "--media") {
        options.media = builder::ParseMediaCount(value);
        if (!options.media)
          return Wrong("--media braucht die Anzahl der Medien (1 bis " +
                       std::to_string(builder::kMaxMedia) + "), nicht \"" + value + "\"");
      } else {
        options.mediumSize = builder::ParseSize(value);
        if (!options.mediumSize)
          return Wrong(
              "--medium-size braucht eine Größe in Bytes (z. B. 1457664, 1400K, 650M), "
              "nicht \"" +
              value + "\"");
      }
    } else if (arg.starts_with("--")) {
      return Wrong("unbekannte Option " + std::string(arg));
    } else {
      positional.emplace_back(arg);
    }
  }
  const size_t least = arguments.dryRun ? 1 : 2;
  if (positional.size() < least || positional.size() > 2) {
    std::cerr << kUsage;
    return Parsed::Wrong;
  }
  arguments.description = positional[0];
  if (positional.size() == 2)
    arguments.options.output = positional[1];
  return Parsed::Run;
}

// The uninstaller packed when neither the command line nor the description
// names one: Uninstall.exe beside this program, else the one of the Windows
// build in this source tree.
std::optional<fs::path> DefaultUninstaller() {
  std::error_code error;
  const fs::path self = fs::read_symlink("/proc/self/exe", error);
  for (const fs::path& candidate :
       {self.parent_path() / "Uninstall.exe",
        fs::path(SETUP_BUILDER_WINDOWS_BUILD) / "uninstall" / "Uninstall.exe"}) {
    if (!candidate.parent_path().empty() && fs::is_regular_file(candidate, error))
      return candidate;
  }
  return std::nullopt;
}

void PrintProblem(const std::string& description, const builder::Problem& problem,
                  std::string_view kind) {
  std::cerr << "setup-builder: ";
  if (problem.line > 0)
    std::cerr << description << ", Zeile " << problem.line << ": ";
  std::cerr << kind << problem.message << "\n";
}

void PrintResult(const builder::Description& description, const builder::BuildResult& result) {
  std::cout << "Setup-Ordner erstellt: " << result.folder.string() << "\n";
  std::cout << "  Produktdateien: " << description.files.size();
  if (!description.selections.empty()) {
    std::string taken;
    for (const builder::FileSelection& selection : description.selections)
      taken += (taken.empty() ? "" : ", ") + builder::SelectionText(selection);
    std::cout << " (" << taken << ")";
  }
  std::cout << ", Komponentenprogramme: " << description.components.size()
            << ", Mediendateien: " << description.media.size() << "\n";
  std::cout << "  Nutzlast: " << result.payloadSize << " Bytes\n";
  for (const builder::BuiltFolder& folder : result.media) {
    std::string files;
    for (const std::string& file : folder.files)
      files += (files.empty() ? "" : ", ") + file;
    std::cout << "  " << (folder.name.empty() ? "Inhalt" : folder.name) << ": " << files << " ("
              << folder.bytes << " Bytes)\n";
  }
  if (const std::string prompts = builder::MediaPrompts(static_cast<int>(result.media.size()));
      !prompts.empty())
    std::cout << "  " << prompts << ".\n";
  for (const std::string& note : result.notes)
    std::cout << "Hinweis: " << note << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  Arguments arguments;
  switch (ParseArguments(argc, argv, arguments)) {
    case Parsed::Done:
      return 0;
    case Parsed::Wrong:
      return 2;
    case Parsed::Run:
      break;
  }
  if (!arguments.uninstallerGiven)
    arguments.options.uninstaller = DefaultUninstaller();
  try {
    const builder::Description description = builder::ReadDescription(arguments.description);
    for (const builder::Problem& warning : description.warnings)
      PrintProblem(arguments.description, warning, "Warnung: ");
    if (arguments.dryRun) {
      std::cout << builder::DryRun(description, arguments.options);
      return 0;
    }
    PrintResult(description, builder::BuildSetupFolder(description, arguments.options));
    return 0;
  } catch (const builder::BuildError& error) {
    for (const builder::Problem& problem : error.problems())
      PrintProblem(arguments.description, problem, "");
    return 1;
  }
}
