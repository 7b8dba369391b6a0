#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Registry.h"

namespace platform::sim {

/// An in-memory registry. Key and value names match without regard to case;
/// a leading backslash of a key path is ignored. Roots can be made to refuse
/// every open, as a user without rights is refused full access; DynData
/// always refuses, as on every Windows since the 9x line.
class SimRegistry : public Registry {
 public:
  struct Value {
    std::string name;
    RegType type = RegType::None;
    std::string text;
    uint32_t dword = 0;
    std::vector<uint8_t> bytes;
  };
  struct Key {
    std::string name;
    std::map<std::string, std::unique_ptr<Key>> subkeys;
    std::map<std::string, Value> values;
  };

  std::unique_ptr<RegistryKey> OpenKey(RegRoot root, std::string_view path) override;
  std::unique_ptr<RegistryKey> CreateKey(RegRoot root, std::string_view path) override;
  bool DeleteEmptyKey(RegRoot root, std::string_view path) override;
  bool KeyExists(RegRoot root, std::string_view path) override {
    return root != RegRoot::DynData && Find(root, path) != nullptr;
  }

  void Deny(RegRoot root, bool deny);
  /// The key at `path`, created with its parents when `create` is set;
  /// nullptr when it is missing or the path is malformed.
  Key* Find(RegRoot root, std::string_view path, bool create);
  const Key* Find(RegRoot root, std::string_view path) const;
  /// The value `name` of the key at `path`; nullptr when either is missing.
  const Value* FindValue(RegRoot root, std::string_view key, std::string_view name) const;
  /// Every key and value of every root, one line each in a stable order.
  std::string Dump() const;

 private:
  std::unique_ptr<RegistryKey> Open(RegRoot root, std::string_view path, bool create);

  std::map<RegRoot, Key> roots_;
  std::set<RegRoot> denied_;
};

/// A value as a key's reads give it: nullopt when it is missing (nullptr) or,
/// for the reads of one type, of another type.
std::optional<RegType> TypeOf(const SimRegistry::Value* value);
std::optional<std::string> StringOf(const SimRegistry::Value* value);
std::optional<uint32_t> DWordOf(const SimRegistry::Value* value);
std::optional<std::vector<uint8_t>> BinaryOf(const SimRegistry::Value* value);

/// Writes a value of the key, replacing one of the same name (which keeps the
/// spelling of its name, as in Windows). `type` is String or ExpandString.
void PutString(SimRegistry::Key& key, std::string_view name, std::string_view value, RegType type);
void PutDWord(SimRegistry::Key& key, std::string_view name, uint32_t value);
void PutBinary(SimRegistry::Key& key, std::string_view name, std::vector<uint8_t> value);

}  // namespace platform::sim
