#include "core/IniReader.h"

#include "core/Convert.h"

namespace core {

std::string IniReader::ReadString(std::string_view section, std::string_view key,
                                  std::string_view fallback) const {
  return profile_.Read(path_, section, key, fallback);
}

int32_t IniReader::ReadInteger(std::string_view section, std::string_view key,
                               int32_t fallback) const {
  const std::string text = ReadString(section, key, "");
  // The strict conversion also takes a bare "x" or "X" before hexadecimal
  // digits; the control file's rule does not.
  const size_t first = text.find_first_not_of(' ');
  if (first != std::string::npos && (text[first] == 'x' || text[first] == 'X'))
    return fallback;
  return TryStrToInt(text).value_or(fallback);
}

bool IniReader::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

}  // namespace core
