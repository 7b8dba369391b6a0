#include "core/IniReader.h"

#include "core/Convert.h"

namespace core {

std::string IniReader::ReadString(std::string_view section, std::string_view key,
                                  std::string_view fallback) const {
  return profile_.Read(path_, section, key, fallback);
}

int32_t IniReader::ReadInteger(std::string_view section, std::string_view key,
                               int32_t fallback) const {
  return TryStrToInt(ReadString(section, key, "")).value_or(fallback);
}

bool IniReader::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
  return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

}  // namespace core
