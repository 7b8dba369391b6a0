#include "platform/sim/SimRegistry.h"

#include <algorithm>

#include "platform/sim/SimText.h"

namespace platform::sim {

namespace {

// The components of a key path after one leading backslash; nullopt when a
// second backslash follows, which the registry refuses. Empty components
// elsewhere collapse, as in Wine.
std::optional<std::vector<std::string>> KeyParts(std::string_view path) {
  if (!path.empty() && path.front() == '\\')
    path.remove_prefix(1);
  if (!path.empty() && path.front() == '\\')
    return std::nullopt;
  std::vector<std::string> parts;
  while (!path.empty()) {
    const size_t end = std::min(path.find('\\'), path.size());
    if (end > 0)
      parts.emplace_back(path.substr(0, end));
    path.remove_prefix(std::min(end + 1, path.size()));
  }
  return parts;
}

void Put(SimRegistry::Key& key, SimRegistry::Value value) {
  const std::string folded = FoldCase(value.name);
  if (const auto existing = key.values.find(folded); existing != key.values.end()) {
    value.name = existing->second.name;
  }
  key.values[folded] = std::move(value);
}

class SimKey : public RegistryKey {
 public:
  explicit SimKey(SimRegistry::Key& key) : key_(key) {}

  std::optional<RegType> ValueType(std::string_view name) override { return TypeOf(Find(name)); }
  std::optional<std::string> ReadString(std::string_view name) override {
    return StringOf(Find(name));
  }
  std::optional<uint32_t> ReadDWord(std::string_view name) override { return DWordOf(Find(name)); }
  std::optional<std::vector<uint8_t>> ReadBinary(std::string_view name) override {
    return BinaryOf(Find(name));
  }

  bool WriteString(std::string_view name, std::string_view value, bool expand) override {
    PutString(key_, name, value, expand ? RegType::ExpandString : RegType::String);
    return true;
  }
  bool WriteDWord(std::string_view name, uint32_t value) override {
    PutDWord(key_, name, value);
    return true;
  }
  bool WriteBinary(std::string_view name, const std::vector<uint8_t>& value) override {
    PutBinary(key_, name, value);
    return true;
  }

  bool DeleteValue(std::string_view name) override { return key_.values.erase(FoldCase(name)) > 0; }
  std::vector<std::string> ValueNames() override {
    std::vector<std::string> names;
    for (const auto& [folded, value] : key_.values)
      names.push_back(value.name);
    return names;
  }
  std::vector<std::string> SubkeyNames() override {
    std::vector<std::string> names;
    for (const auto& [folded, subkey] : key_.subkeys)
      names.push_back(subkey->name);
    return names;
  }

 private:
  const SimRegistry::Value* Find(std::string_view name) const {
    const auto value = key_.values.find(FoldCase(name));
    return value == key_.values.end() ? nullptr : &value->second;
  }

  SimRegistry::Key& key_;
};

}  // namespace

std::unique_ptr<RegistryKey> SimRegistry::OpenKey(RegRoot root, std::string_view path) {
  return Open(root, path, false);
}

std::unique_ptr<RegistryKey> SimRegistry::CreateKey(RegRoot root, std::string_view path) {
  return Open(root, path, true);
}

namespace {

void DumpKey(const SimRegistry::Key& key, const std::string& path, std::string& out) {
  out += path + "\n";
  for (const auto& [folded, value] : key.values) {
    out += path + " : " + value.name + " = " + std::to_string(static_cast<uint32_t>(value.type)) +
           " " + value.text + " " + std::to_string(value.dword) + " ";
    for (const uint8_t b : value.bytes)
      out += std::to_string(b) + ",";
    out += "\n";
  }
  for (const auto& [folded, sub] : key.subkeys)
    DumpKey(*sub, path + "\\" + sub->name, out);
}

}  // namespace

std::string SimRegistry::Dump() const {
  std::string out;
  for (const auto& [root, key] : roots_)
    DumpKey(key, std::to_string(static_cast<int>(root)), out);
  return out;
}

bool SimRegistry::DeleteEmptyKey(RegRoot root, std::string_view path) {
  const std::optional<std::vector<std::string>> parts = KeyParts(path);
  if (root == RegRoot::DynData || denied_.contains(root) || !parts || parts->empty())
    return false;
  Key* parent = &roots_[root];
  for (size_t k = 0; k + 1 < parts->size(); ++k) {
    const auto child = parent->subkeys.find(FoldCase((*parts)[k]));
    if (child == parent->subkeys.end())
      return false;
    parent = child->second.get();
  }
  const auto key = parent->subkeys.find(FoldCase(parts->back()));
  if (key == parent->subkeys.end() || !key->second->subkeys.empty() ||
      !key->second->values.empty()) {
    return false;
  }
  parent->subkeys.erase(key);
  return true;
}

std::unique_ptr<RegistryKey> SimRegistry::Open(RegRoot root, std::string_view path, bool create) {
  // The dynamic data of Windows 9x is gone from every later Windows.
  if (root == RegRoot::DynData || denied_.contains(root))
    return nullptr;
  Key* key = Find(root, path, create);
  if (!key)
    return nullptr;
  return std::make_unique<SimKey>(*key);
}

void SimRegistry::Deny(RegRoot root, bool deny) {
  if (deny) {
    denied_.insert(root);
  } else {
    denied_.erase(root);
  }
}

SimRegistry::Key* SimRegistry::Find(RegRoot root, std::string_view path, bool create) {
  const std::optional<std::vector<std::string>> parts = KeyParts(path);
  if (!parts)
    return nullptr;
  Key* key = &roots_[root];
  for (const std::string& part : *parts) {
    const std::string folded = FoldCase(part);
    auto child = key->subkeys.find(folded);
    if (child == key->subkeys.end()) {
      if (!create)
        return nullptr;
      child = key->subkeys.emplace(folded, std::make_unique<Key>()).first;
      child->second->name = part;
    }
    key = child->second.get();
  }
  return key;
}

const SimRegistry::Key* SimRegistry::Find(RegRoot root, std::string_view path) const {
  const std::optional<std::vector<std::string>> parts = KeyParts(path);
  const auto top = roots_.find(root);
  if (!parts || top == roots_.end())
    return nullptr;
  const Key* key = &top->second;
  for (const std::string& part : *parts) {
    const auto child = key->subkeys.find(FoldCase(part));
    if (child == key->subkeys.end())
      return nullptr;
    key = child->second.get();
  }
  return key;
}

const SimRegistry::Value* SimRegistry::FindValue(RegRoot root, std::string_view key,
                                                 std::string_view name) const {
  const Key* found = Find(root, key);
  if (!found)
    return nullptr;
  const auto value = found->values.find(FoldCase(name));
  return value == found->values.end() ? nullptr : &value->second;
}

std::optional<RegType> TypeOf(const SimRegistry::Value* value) {
  if (!value)
    return std::nullopt;
  return value->type;
}

std::optional<std::string> StringOf(const SimRegistry::Value* value) {
  if (!value || (value->type != RegType::String && value->type != RegType::ExpandString)) {
    return std::nullopt;
  }
  return value->text;
}

std::optional<uint32_t> DWordOf(const SimRegistry::Value* value) {
  if (!value || value->type != RegType::DWord)
    return std::nullopt;
  return value->dword;
}

std::optional<std::vector<uint8_t>> BinaryOf(const SimRegistry::Value* value) {
  if (!value || value->type != RegType::Binary)
    return std::nullopt;
  return value->bytes;
}

void PutString(SimRegistry::Key& key, std::string_view name, std::string_view value, RegType type) {
  Put(key, {std::string(name), type, std::string(value), 0, {}});
}

void PutDWord(SimRegistry::Key& key, std::string_view name, uint32_t value) {
  Put(key, {std::string(name), RegType::DWord, {}, value, {}});
}

void PutBinary(SimRegistry::Key& key, std::string_view name, std::vector<uint8_t> value) {
  Put(key, {std::string(name), RegType::Binary, {}, 0, std::move(value)});
}

}  // namespace platform::sim
