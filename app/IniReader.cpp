#include "app/IniReader.h"

#include "app/Convert.h"

namespace app {

std::string IniReader::ReadString(std::string_view section, std::string_view key,
                                  std::string_view fallback) const {
  return profile_.Read(path_, section, key, fallback);
}

int32_t IniReader::ReadInteger(std::string_view section, std::string_view key,
                               int32_t fallback) const {
  std::string text = ReadString(section, key, "");
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text = "$" + text.substr(2);
  }
  return TryStrToInt(text).value_or(fallback);
}

bool IniReader::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

}  // namespace app
