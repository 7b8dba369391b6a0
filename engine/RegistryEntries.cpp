#include "engine/RegistryEntries.h"

#include <charconv>
#include <cstring>
#include <limits>
#include <vector>

#include "core/Convert.h"
#include "engine/SpecialFolders.h"

namespace engine {

namespace {

using platform::RegRoot;

[[noreturn]] void NoFloat(std::string_view text) {
  throw core::EConvertError("'" + std::string(text) + "' ist kein gültiger Gleitkommawert");
}

// A decimal number taken apart: its digits without leading zeros and the
// power of ten they are scaled by.
struct Decimal {
  bool negative = false;
  std::string digits;
  int64_t exponent = 0;
};

// The number syntax of the user's locale: blanks, an optional sign, digits
// with at most one decimal separator (at least one digit in all), an
// optional exponent "E"/"e" with sign and digits, blanks.
Decimal ParseDecimal(std::string_view text, std::string_view separator) {
  std::string_view rest = text;
  auto blank = [](char c) { return c == ' '; };
  while (!rest.empty() && blank(rest.front()))
    rest.remove_prefix(1);
  while (!rest.empty() && blank(rest.back()))
    rest.remove_suffix(1);
  Decimal number;
  if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
    number.negative = rest.front() == '-';
    rest.remove_prefix(1);
  }
  bool anyDigit = false;
  bool afterSeparator = false;
  while (!rest.empty()) {
    const char c = rest.front();
    if (c >= '0' && c <= '9') {
      anyDigit = true;
      if (!(number.digits.empty() && c == '0'))
        number.digits += c;
      if (afterSeparator)
        --number.exponent;
      rest.remove_prefix(1);
    } else if (!afterSeparator && !separator.empty() && rest.starts_with(separator)) {
      afterSeparator = true;
      rest.remove_prefix(separator.size());
    } else {
      break;
    }
  }
  if (!anyDigit)
    NoFloat(text);
  if (!rest.empty()) {
    if (rest.front() != 'E' && rest.front() != 'e')
      NoFloat(text);
    rest.remove_prefix(1);
    bool negativeExponent = false;
    if (!rest.empty() && (rest.front() == '+' || rest.front() == '-')) {
      negativeExponent = rest.front() == '-';
      rest.remove_prefix(1);
    }
    int64_t exponent = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), exponent);
    if (error != std::errc() || end != rest.data() + rest.size() || rest.empty() ||
        exponent > 100000) {
      NoFloat(text);
    }
    number.exponent += negativeExponent ? -exponent : exponent;
  }
  return number;
}

std::vector<uint8_t> LittleEndian(uint64_t bits) {
  std::vector<uint8_t> bytes(8);
  for (int i = 0; i < 8; ++i)
    bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
  return bytes;
}

}  // namespace

void RequireWritten(bool written, std::string_view valueName) {
  if (!written)
    throw ERegistryError("Fehler beim Setzen der Daten für '" + std::string(valueName) + "'");
}

platform::RegistryKey& RequireKey(const std::unique_ptr<platform::RegistryKey>& opened,
                                  std::string_view path) {
  if (!opened)
    throw ERegistryError("Der Schlüssel '" + std::string(path) + "' kann nicht erstellt werden");
  return *opened;
}

RegRoot RootOf(std::string_view name) {
  struct Name {
    std::string_view shortName;
    std::string_view longName;
    RegRoot root;
  };
  static constexpr Name kRoots[] = {
      {"HKCR", "HKEY_CLASSES_ROOT", RegRoot::ClassesRoot},
      {"HKCU", "HKEY_CURRENT_USER", RegRoot::CurrentUser},
      {"HKLM", "HKEY_LOCAL_MACHINE", RegRoot::LocalMachine},
      {"HKU", "HKEY_USERS", RegRoot::Users},
      {"HKCC", "HKEY_CURRENT_CONFIG", RegRoot::CurrentConfig},
      {"HKDD", "HKEY_DYN_DATA", RegRoot::DynData},
  };
  const std::string upper = core::UpperAscii(name);
  for (const Name& root : kRoots) {
    if (upper == root.shortName || upper == root.longName)
      return root.root;
  }
  return RegRoot::CurrentUser;
}

std::string SubstituteFirstPlaceholder(RunContext& run, std::string_view data) {
  const size_t first = data.find('%');
  if (first == std::string_view::npos)
    return std::string(data);
  const size_t second = data.find('%', first + 1);
  const size_t end = second == std::string_view::npos ? data.size() : second + 1;
  const std::string folder =
      GetSpecialFolderPath(run.platform, run.settings, data.substr(first, end - first))
          .value_or("");
  return std::string(data.substr(0, first)) + folder + std::string(data.substr(end));
}

double StrToFloat(std::string_view text, std::string_view separator) {
  const Decimal number = ParseDecimal(text, separator);
  if (number.digits.empty())
    return number.negative ? -0.0 : 0.0;
  const std::string scientific = number.digits + "e" + std::to_string(number.exponent);
  double value = 0;
  const auto [end, error] =
      std::from_chars(scientific.data(), scientific.data() + scientific.size(), value);
  if (error != std::errc() || end != scientific.data() + scientific.size())
    NoFloat(text);
  return number.negative ? -value : value;
}

int64_t StrToCurrency(std::string_view text, std::string_view separator) {
  const Decimal number = ParseDecimal(text, separator);
  if (number.digits.empty())
    return 0;
  const int64_t scale = number.exponent + 4;
  std::string whole = number.digits;
  std::string dropped;
  if (scale >= 0) {
    if (scale > 19)
      NoFloat(text);
    whole.append(static_cast<size_t>(scale), '0');
  } else if (static_cast<size_t>(-scale) >= whole.size()) {
    dropped = std::string(static_cast<size_t>(-scale) - whole.size(), '0') + whole;
    whole = "0";
  } else {
    dropped = whole.substr(whole.size() - static_cast<size_t>(-scale));
    whole.resize(whole.size() - static_cast<size_t>(-scale));
  }
  uint64_t magnitude = 0;
  const auto [end, error] = std::from_chars(whole.data(), whole.data() + whole.size(), magnitude);
  if (error != std::errc())
    NoFloat(text);
  // Halves go to the even neighbour.
  if (!dropped.empty() && dropped.front() >= '5') {
    const bool half =
        dropped.front() == '5' && dropped.find_first_not_of('0', 1) == std::string::npos;
    if (!half || magnitude % 2 == 1)
      ++magnitude;
  }
  const uint64_t limit = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
  if (magnitude > limit + (number.negative ? 1 : 0))
    NoFloat(text);
  return number.negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
}

void MakeRegEntrie(RunContext& run, std::string_view typeName, std::string_view rootName,
                   std::string_view keyPath, std::string_view valueName, std::string_view data) {
  std::unique_ptr<platform::RegistryKey> key =
      run.platform.registry.CreateKey(RootOf(rootName), keyPath);
  const std::string type = core::UpperAscii(typeName);
  if (type == "STRING") {
    RequireWritten(
        RequireKey(key, keyPath).WriteString(valueName, SubstituteFirstPlaceholder(run, data)),
        valueName);
  } else if (type == "FLOAT") {
    const double value = StrToFloat(data, run.platform.system.DecimalSeparator());
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    RequireWritten(RequireKey(key, keyPath).WriteBinary(valueName, LittleEndian(bits)), valueName);
  } else if (type == "BOOLEAN" || typeName == "BOOL") {
    const std::string answer = core::UpperAscii(data);
    if (answer == "TRUE" || answer == "FALSE")
      RequireWritten(RequireKey(key, keyPath).WriteDWord(valueName, answer == "TRUE" ? 1 : 0),
                     valueName);
  } else if (type == "CURRENCY") {
    const int64_t value = StrToCurrency(data, run.platform.system.DecimalSeparator());
    RequireWritten(
        RequireKey(key, keyPath).WriteBinary(valueName, LittleEndian(static_cast<uint64_t>(value))),
        valueName);
  }
}

void WriteRegistryEntries(RunContext& run) {
  const int count =
      core::EntriesToVisit(core::StrToInt(run.control.ReadString("Registry", "RegCount", "1")),
                           run.control.LastNumberedSection("Reg"));
  if (count != 0) {
    run.log.Append("[Registry]");
    run.log.Append("RegCount=" + std::to_string(count));
  }
  for (int n = 1; n <= count && !run.Ended(); ++n) {
    const std::string section = "Reg" + std::to_string(n);
    run.log.Append("[" + section + "]");
    run.log.Append("Root=" + run.control.ReadString(section, "Root", "HKLM"));
    run.log.Append("Key=" + run.control.ReadString(section, "Key", ""));
    run.log.Append("Title=" + run.control.ReadString(section, "Title", ""));
    MakeRegEntrie(
        run, run.control.ReadString(section, "Data", "String"),
        run.control.ReadString(section, "Root", "HKLM"), run.control.ReadString(section, "Key", ""),
        run.control.ReadString(section, "Title", ""), run.control.ReadString(section, "Value", ""));
  }
}

}  // namespace engine
