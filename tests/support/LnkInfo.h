#pragma once

#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "platform/Shell.h"

namespace testing_support {

/// The fields of the shortcut file `file` as Debian's lnkinfo (liblnk-utils)
/// reads them, empty where the file has none; nullopt when lnkinfo cannot
/// read the file.
inline std::optional<platform::Shortcut> ReadWithLnkinfo(const std::filesystem::path& file) {
  std::string quoted = "'";
  for (const char c : file.string())
    quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  quoted += "'";
  FILE* output = popen(("lnkinfo " + quoted + " 2>/dev/null").c_str(), "r");
  if (!output)
    return std::nullopt;
  // It prints one "<tabs>Name<tabs>: value" line per field it found.
  std::map<std::string, std::string> fields;
  std::string line;
  for (int c = std::fgetc(output); c != EOF; c = std::fgetc(output)) {
    if (c != '\n') {
      line += static_cast<char>(c);
      continue;
    }
    const size_t colon = line.find(": ");
    const size_t name = line.find_first_not_of('\t');
    if (colon != std::string::npos && name < colon) {
      fields[line.substr(name, line.find_last_not_of('\t', colon - 1) + 1 - name)] =
          line.substr(colon + 2);
    }
    line.clear();
  }
  if (pclose(output) != 0)
    return std::nullopt;
  return platform::Shortcut{fields["Local path"], fields["Command line arguments"],
                            fields["Working directory"], fields["Description"]};
}

}  // namespace testing_support
