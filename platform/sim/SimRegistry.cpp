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

class SimKey : public RegistryKey {
 public:
  explicit SimKey(SimRegistry::Key& key) : key_(key) {}

  std::optional<RegType> ValueType(std::string_view name) override {
    const SimRegistry::Value* value = Find(name);
    if (!value)
      return std::nullopt;
    return value->type;
  }

  std::optional<std::string> ReadString(std::string_view name) override {
    const SimRegistry::Value* value = Find(name);
    if (!value || (value->type != RegType::String && value->type != RegType::ExpandString)) {
      return std::nullopt;
    }
    return value->text;
  }

  std::optional<uint32_t> ReadDWord(std::string_view name) override {
    const SimRegistry::Value* value = Find(name);
    if (!value || value->type != RegType::DWord)
      return std::nullopt;
    return value->dword;
  }

  std::optional<std::vector<uint8_t>> ReadBinary(std::string_view name) override {
    const SimRegistry::Value* value = Find(name);
    if (!value || value->type != RegType::Binary)
      return std::nullopt;
    return value->bytes;
  }

  bool WriteString(std::string_view name, std::string_view value, bool expand) override {
    SimRegistry::Put(key_, {std::string(name),
                            expand ? RegType::ExpandString : RegType::String,
                            std::string(value),
                            0,
                            {}});
    return true;
  }

  bool WriteDWord(std::string_view name, uint32_t value) override {
    SimRegistry::Put(key_, {std::string(name), RegType::DWord, {}, value, {}});
    return true;
  }

  bool WriteBinary(std::string_view name, const std::vector<uint8_t>& value) override {
    SimRegistry::Put(key_, {std::string(name), RegType::Binary, {}, 0, value});
    return true;
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
  if (denied_.contains(root))
    return nullptr;
  Key* key = Find(root, path, false);
  if (!key)
    return nullptr;
  return std::make_unique<SimKey>(*key);
}

std::unique_ptr<RegistryKey> SimRegistry::CreateKey(RegRoot root, std::string_view path) {
  if (denied_.contains(root))
    return nullptr;
  Key* key = Find(root, path, true);
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
    auto& child = key->subkeys[FoldCase(part)];
    if (!child) {
      if (!create) {
        key->subkeys.erase(FoldCase(part));
        return nullptr;
      }
      child = std::make_unique<Key>();
      child->name = part;
    }
    key = child.get();
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

void SimRegistry::Put(Key& key, Value value) {
  // A value that exists keeps the spelling of its name, as in Windows.
  const std::string folded = FoldCase(value.name);
  if (const auto existing = key.values.find(folded); existing != key.values.end()) {
    value.name = existing->second.name;
  }
  key.values[folded] = std::move(value);
}

}  // namespace platform::sim
