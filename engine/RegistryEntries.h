#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "engine/RunContext.h"
#include "platform/Registry.h"

namespace engine {

/// A registry write the system refused. The registry region reports every
/// error alike; the text only tells a developer what happened.
class ERegistryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Raises ERegistryError for the value `valueName` unless it was `written`.
void RequireWritten(bool written, std::string_view valueName);
/// Raises ERegistryError for the key `path` unless it is `opened`.
platform::RegistryKey& RequireKey(const std::unique_ptr<platform::RegistryKey>& opened,
                                  std::string_view path);

/// The root a root name of the control file selects: "HKLM" or
/// "HKEY_LOCAL_MACHINE" and their kin in any case; anything else is
/// HKEY_CURRENT_USER.
platform::RegRoot RootOf(std::string_view name);

/// `data` with its first placeholder ("%" up to the next "%", or to the end)
/// replaced by the folder it names; an unknown placeholder is dropped.
std::string SubstituteFirstPlaceholder(RunContext& run, std::string_view data);

/// A number as the user's Windows writes it: optional blanks and sign,
/// digits with `separator` as the decimal separator, an optional exponent.
/// Raises core::EConvertError "'<text>' ist kein gültiger Gleitkommawert".
double StrToFloat(std::string_view text, std::string_view separator);

/// The number of StrToFloat times 10000, rounded to the nearest integer
/// (halves to the even one), computed on the decimal digits so that no
/// binary fraction creeps in. Raises core::EConvertError when the text is no
/// number or the result exceeds 64 bits.
int64_t StrToCurrency(std::string_view text, std::string_view separator);

/// Writes one registry value from its description in the control file:
/// type name, root name, key path, value name and data. The key is created
/// for every type name; STRING, FLOAT, BOOLEAN/BOOL and CURRENCY write a
/// value. Raises ERegistryError when the system refuses the write and
/// core::EConvertError when the data is no number.
void MakeRegEntrie(RunContext& run, std::string_view typeName, std::string_view rootName,
                   std::string_view keyPath, std::string_view valueName, std::string_view data);

/// The entries of [Registry] and [Reg<N>]: each logged, then written.
/// Raises core::EConvertError when RegCount is no integer, and whatever
/// MakeRegEntrie raises.
void WriteRegistryEntries(RunContext& run);

}  // namespace engine
