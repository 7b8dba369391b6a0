#include "engine/JournaledPlatform.h"

#include <algorithm>
#include <vector>

#include "core/Convert.h"

namespace engine {

namespace {

// A path as Windows compares it: without regard to case, either slash.
std::string Folded(std::string_view path) {
  std::string folded = core::UpperAscii(path);
  std::replace(folded.begin(), folded.end(), '/', '\\');
  return folded;
}

// The levels of a key path, without empty ones (a leading backslash).
std::vector<std::string> KeyLevels(std::string_view path) {
  std::vector<std::string> levels;
  std::string level;
  for (const char c : path) {
    if (c != '\\') {
      level += c;
    } else if (!level.empty()) {
      levels.push_back(level);
      level.clear();
    }
  }
  if (!level.empty())
    levels.push_back(level);
  return levels;
}

}  // namespace

bool JournaledFiles::Outside(std::string_view path) const {
  const std::string folded = Folded(path);
  const std::string work = Folded(workFolder_);
  return work.empty() || !(folded == work || folded.starts_with(work + "\\"));
}

void JournaledFiles::NoteCreated(std::string_view path) {
  journal_.FileCreated(path);
  created_.insert(Folded(path));
}

bool JournaledFiles::CreateDirectory(std::string_view path) {
  if (Outside(path) && !inner_.DirectoryExists(path) && !inner_.FileExists(path))
    journal_.FolderCreated(path);
  return inner_.CreateDirectory(path);
}

bool JournaledFiles::RemoveDirectory(std::string_view path) {
  if (Outside(path) && inner_.DirectoryExists(path))
    journal_.FolderRemoved(path);
  return inner_.RemoveDirectory(path);
}

bool JournaledFiles::BackUp(std::string_view path, std::string& backup) {
  backup = journal_.FileReplaced(path);
  return inner_.MoveFile(path, backup, false);
}

bool JournaledFiles::ClearForNew(std::string_view path, std::optional<std::string>& backup) {
  backup.reset();
  if (!Outside(path))
    return true;
  if (!inner_.FileExists(path)) {
    NoteCreated(path);
    return true;
  }
  std::string moved;
  if (!BackUp(path, moved))
    return false;
  backup = moved;
  return true;
}

void JournaledFiles::PutBack(const std::string& backup, std::string_view path) {
  inner_.MoveFile(backup, path, true);
}

template <typename Write>
bool JournaledFiles::Place(std::string_view to, bool failIfExists, Write write) {
  const std::optional<uint32_t> attributes = inner_.Attributes(to);
  if (attributes && (*attributes & platform::attr::Directory))
    return false;
  const bool exists = attributes.has_value();
  // Windows refuses to replace a read-only file; so does the run.
  if (exists && (failIfExists || (*attributes & platform::attr::ReadOnly)))
    return false;
  // A temporary name nobody uses, beside the destination.
  std::string temporary;
  for (int n = 1; temporary.empty() || inner_.FileExists(temporary); ++n)
    temporary = std::string(to) + ".tewol" + std::to_string(n) + "~";
  NoteCreated(temporary);
  if (!write(temporary)) {
    inner_.DeleteFile(temporary);
    return false;
  }
  std::string backup;
  if (exists) {
    if (!BackUp(to, backup)) {
      inner_.DeleteFile(temporary);
      return false;
    }
  } else {
    NoteCreated(to);
  }
  if (!inner_.MoveFile(temporary, to, false)) {
    if (exists)
      inner_.MoveFile(backup, to, false);
    inner_.DeleteFile(temporary);
    return false;
  }
  return true;
}

bool JournaledFiles::CopyFile(std::string_view from, std::string_view to, bool failIfExists) {
  if (!Outside(to))
    return inner_.CopyFile(from, to, failIfExists);
  return Place(to, failIfExists,
               [&](std::string_view target) { return inner_.CopyFile(from, target, true); });
}

bool JournaledFiles::WriteFile(std::string_view path, std::string_view content) {
  if (!Outside(path))
    return inner_.WriteFile(path, content);
  return Place(path, false,
               [&](std::string_view target) { return inner_.WriteFile(target, content); });
}

bool JournaledFiles::MoveFile(std::string_view from, std::string_view to, bool replace) {
  if (!Outside(from) && !Outside(to))
    return inner_.MoveFile(from, to, replace);
  return CopyFile(from, to, !replace) && DeleteFile(from);
}

bool JournaledFiles::DeleteFile(std::string_view path) {
  if (!Outside(path) || created_.contains(Folded(path)) || !inner_.FileExists(path))
    return inner_.DeleteFile(path);
  // A file the run did not make goes into the backups, so that an undone
  // run can put it back.
  std::string backup;
  return BackUp(path, backup);
}

std::unique_ptr<platform::WriteStream> JournaledFiles::OpenWrite(std::string_view path) {
  std::optional<std::string> backup;
  if (!ClearForNew(path, backup))
    return nullptr;
  auto stream = inner_.OpenWrite(path);
  if (!stream && backup)
    PutBack(*backup, path);
  return stream;
}

namespace {

class JournaledKey : public platform::RegistryKey {
 public:
  JournaledKey(std::unique_ptr<platform::RegistryKey> inner, platform::RegRoot root,
               std::string path, Journal& journal)
      : inner_(std::move(inner)), root_(root), path_(std::move(path)), journal_(journal) {}

  std::optional<platform::RegType> ValueType(std::string_view name) override {
    return inner_->ValueType(name);
  }
  std::optional<std::string> ReadString(std::string_view name) override {
    return inner_->ReadString(name);
  }
  std::optional<uint32_t> ReadDWord(std::string_view name) override {
    return inner_->ReadDWord(name);
  }
  std::optional<std::vector<uint8_t>> ReadBinary(std::string_view name) override {
    return inner_->ReadBinary(name);
  }
  bool WriteString(std::string_view name, std::string_view value, bool expand) override {
    return Note(name) && inner_->WriteString(name, value, expand);
  }
  bool WriteDWord(std::string_view name, uint32_t value) override {
    return Note(name) && inner_->WriteDWord(name, value);
  }
  bool WriteBinary(std::string_view name, const std::vector<uint8_t>& value) override {
    return Note(name) && inner_->WriteBinary(name, value);
  }
  bool DeleteValue(std::string_view name) override {
    return Note(name) && inner_->DeleteValue(name);
  }
  std::vector<std::string> ValueNames() override { return inner_->ValueNames(); }
  std::vector<std::string> SubkeyNames() override { return inner_->SubkeyNames(); }

 private:
  // Journals the value as it is now; false, with nothing journaled, when
  // it is of a type that could not be put back.
  bool Note(std::string_view name) {
    const std::optional<platform::RegType> type = inner_->ValueType(name);
    if (!type) {
      journal_.ValueChanged(root_, path_, name, std::nullopt);
      return true;
    }
    OldValue old;
    old.type = *type;
    switch (*type) {
      case platform::RegType::String:
      case platform::RegType::ExpandString:
        old.text = inner_->ReadString(name).value_or("");
        break;
      case platform::RegType::DWord:
        old.dword = inner_->ReadDWord(name).value_or(0);
        break;
      case platform::RegType::Binary:
        old.bytes = inner_->ReadBinary(name).value_or(std::vector<uint8_t>{});
        break;
      default:
        return false;
    }
    journal_.ValueChanged(root_, path_, name, old);
    return true;
  }

  std::unique_ptr<platform::RegistryKey> inner_;
  platform::RegRoot root_;
  std::string path_;
  Journal& journal_;
};

}  // namespace

std::unique_ptr<platform::RegistryKey> JournaledRegistry::OpenKey(platform::RegRoot root,
                                                                  std::string_view path) {
  auto key = inner_.OpenKey(root, path);
  if (!key)
    return nullptr;
  return std::make_unique<JournaledKey>(std::move(key), root, std::string(path), journal_);
}

std::unique_ptr<platform::RegistryKey> JournaledRegistry::CreateKey(platform::RegRoot root,
                                                                    std::string_view path) {
  // Every level that is missing now is made by this call.
  std::string level;
  for (const std::string& part : KeyLevels(path)) {
    level += (level.empty() ? "" : "\\") + part;
    if (!inner_.KeyExists(root, level))
      journal_.KeyCreated(root, level);
  }
  auto key = inner_.CreateKey(root, path);
  if (!key)
    return nullptr;
  return std::make_unique<JournaledKey>(std::move(key), root, std::string(path), journal_);
}

bool JournaledRegistry::DeleteEmptyKey(platform::RegRoot root, std::string_view path) {
  if (inner_.KeyExists(root, path))
    journal_.KeyRemoved(root, path);
  return inner_.DeleteEmptyKey(root, path);
}

platform::ShortcutResult JournaledShell::WriteShortcut(const platform::Shortcut& shortcut,
                                                       std::string_view path) {
  std::optional<std::string> backup;
  if (!files_.ClearForNew(path, backup))
    return platform::ShortcutResult::NotSaved;
  const platform::ShortcutResult result = inner_.WriteShortcut(shortcut, path);
  if (result != platform::ShortcutResult::Saved && backup)
    files_.PutBack(*backup, path);
  return result;
}

}  // namespace engine
