// setup-builder: makes a setup folder from a description file.

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/PayloadFormat.h"
#include "tools/builder/BuildError.h"
#include "tools/builder/Description.h"
#include "tools/builder/SetupBuilder.h"

namespace {

constexpr std::string_view kUsage =
    "Aufruf: setup-builder <Beschreibung> <Setup-Ordner> [--setup-exe PFAD] "
    "[--unzip-library PFAD] [--uninstaller PFAD]\n";

struct Arguments {
  std::string description;
  builder::BuildOptions options;
};

// The arguments, or nullopt (after saying why) when they do not fit the usage.
std::optional<Arguments> ParseArguments(int argc, char** argv) {
  Arguments arguments;
  std::vector<std::string> positional;
  for (int k = 1; k < argc; ++k) {
    const std::string_view arg = argv[k];
    if (arg == "--setup-exe" || arg == "--unzip-library" || arg == "--uninstaller") {
      if (k + 1 == argc) {
        std::cerr << "setup-builder: " << arg << " braucht einen Pfad\n" << kUsage;
        return std::nullopt;
      }
      auto& option = arg == "--setup-exe"       ? arguments.options.setupExe
                     : arg == "--unzip-library" ? arguments.options.unzipLibrary
                                                : arguments.options.uninstaller;
      if (option) {
        std::cerr << "setup-builder: " << arg << " ist doppelt angegeben\n" << kUsage;
        return std::nullopt;
      }
      option = argv[++k];
    } else if (arg.starts_with("--")) {
      std::cerr << "setup-builder: unbekannte Option " << arg << "\n" << kUsage;
      return std::nullopt;
    } else {
      positional.emplace_back(arg);
    }
  }
  if (positional.size() != 2) {
    std::cerr << kUsage;
    return std::nullopt;
  }
  arguments.description = positional[0];
  arguments.options.output = positional[1];
  return arguments;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Arguments> arguments = ParseArguments(argc, argv);
  if (!arguments)
    return 2;
  try {
    const builder::Description description = builder::ReadDescription(arguments->description);
    const builder::BuildResult result = builder::BuildSetupFolder(description, arguments->options);
    std::cout << "Setup-Ordner erstellt: " << result.folder.string() << "\n";
    std::cout << "  Produktdateien: " << description.files.size()
              << ", Komponentenprogramme: " << description.components.size()
              << ", Mediendateien: " << description.media.size() << "\n";
    std::cout << "  Nutzlast: " << result.payloadSize << " Bytes";
    if (result.parts > 0) {
      std::cout << ", geteilt in " << engine::payload::PartName(1);
      if (result.parts > 1)
        std::cout << " bis " << engine::payload::PartName(result.parts);
    }
    std::cout << "\n";
    for (const std::string& note : result.notes)
      std::cout << "Hinweis: " << note << "\n";
    return 0;
  } catch (const builder::BuildError& error) {
    std::cerr << "setup-builder: ";
    if (error.line() > 0)
      std::cerr << arguments->description << ", Zeile " << error.line() << ": ";
    std::cerr << error.message() << "\n";
    return 1;
  }
}
