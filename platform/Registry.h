#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

/// The roots of the registry. DynData exists only on Windows 9x: every open
/// or create below it fails on current Windows.
enum class RegRoot { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig, DynData };

// Value types carry the numbers Windows gives them.
enum class RegType : uint32_t {
  None = 0,
  String = 1,
  ExpandString = 2,
  Binary = 3,
  DWord = 4,
  MultiString = 7,
};

/// One open registry key. Closed when the object goes away.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;

  /// The type of a value; nullopt when the value does not exist.
  virtual std::optional<RegType> ValueType(std::string_view name) = 0;
  /// A REG_SZ or REG_EXPAND_SZ value exactly as stored (no expansion);
  /// nullopt when the value is missing or of another type.
  virtual std::optional<std::string> ReadString(std::string_view name) = 0;
  /// A REG_DWORD value; nullopt when missing or of another type.
  virtual std::optional<uint32_t> ReadDWord(std::string_view name) = 0;
  /// A REG_BINARY value; nullopt when missing or of another type.
  virtual std::optional<std::vector<uint8_t>> ReadBinary(std::string_view name) = 0;

  /// Writes a REG_SZ (or, with `expand`, REG_EXPAND_SZ) value; false when refused.
  virtual bool WriteString(std::string_view name, std::string_view value, bool expand = false) = 0;
  /// Writes a REG_DWORD value; false when refused.
  virtual bool WriteDWord(std::string_view name, uint32_t value) = 0;
  /// Writes a REG_BINARY value; false when refused.
  virtual bool WriteBinary(std::string_view name, const std::vector<uint8_t>& value) = 0;

  /// Deletes a value (the empty name is the key's default value); false when
  /// it is missing or the deletion is refused.
  virtual bool DeleteValue(std::string_view name) = 0;
  /// The names of the key's values, in no particular order; empty when it
  /// has none or they cannot be listed.
  virtual std::vector<std::string> ValueNames() = 0;
  /// The names of the key's immediate subkeys, in no particular order; empty
  /// when it has none or they cannot be listed.
  virtual std::vector<std::string> SubkeyNames() = 0;
};

/// The system registry. Key paths may start with a backslash; it is ignored
/// (the path is relative to the root all the same).
class Registry {
 public:
  virtual ~Registry() = default;

  /// Opens an existing key with full access rights. nullptr when the key does
  /// not exist or access is refused; never creates anything.
  virtual std::unique_ptr<RegistryKey> OpenKey(RegRoot root, std::string_view path) = 0;
  /// Opens a key with full access rights, creating it and its missing parents.
  /// nullptr when refused.
  virtual std::unique_ptr<RegistryKey> CreateKey(RegRoot root, std::string_view path) = 0;
  /// Deletes a key that holds no values and no subkeys. False when the key
  /// is missing, still holds something, the deletion is refused, or the path
  /// names the root itself (which is never deleted).
  virtual bool DeleteEmptyKey(RegRoot root, std::string_view path) = 0;
  /// Whether the key exists, asked with read rights only: a user whom full
  /// access is refused can still see it. False when it is missing.
  virtual bool KeyExists(RegRoot root, std::string_view path) = 0;
};

}  // namespace platform
