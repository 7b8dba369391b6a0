#include "engine/Journal.h"

#include <charconv>
#include <stdexcept>

#include "core/Convert.h"

namespace engine {

namespace {

constexpr std::string_view kHeader = "Tessarwolden Journal 1";

std::string Escaped(std::string_view field) {
  std::string out;
  for (const char c : field) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::vector<std::string> Fields(std::string_view line) {
  std::vector<std::string> fields(1);
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '\t') {
      fields.emplace_back();
    } else if (line[i] == '\\' && i + 1 < line.size()) {
      const char next = line[++i];
      fields.back() += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    } else {
      fields.back() += line[i];
    }
  }
  return fields;
}

std::string Hex(const std::vector<uint8_t>& bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (const uint8_t b : bytes) {
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

std::vector<uint8_t> Bytes(std::string_view hex) {
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    unsigned value = 0;
    std::from_chars(hex.data() + i, hex.data() + i + 2, value, 16);
    bytes.push_back(static_cast<uint8_t>(value));
  }
  return bytes;
}

uint32_t Number(std::string_view text) {
  uint32_t value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

std::string BackupFolder(std::string_view workFolder) {
  return std::string(workFolder) + "\\" + std::string(Journal::kBackupFolder);
}

std::string JournalPath(std::string_view workFolder) {
  return std::string(workFolder) + "\\" + std::string(Journal::kFileName);
}

std::string RootName(platform::RegRoot root) {
  switch (root) {
    case platform::RegRoot::ClassesRoot:
      return "HKEY_CLASSES_ROOT";
    case platform::RegRoot::CurrentUser:
      return "HKEY_CURRENT_USER";
    case platform::RegRoot::LocalMachine:
      return "HKEY_LOCAL_MACHINE";
    case platform::RegRoot::Users:
      return "HKEY_USERS";
    case platform::RegRoot::CurrentConfig:
      return "HKEY_CURRENT_CONFIG";
    case platform::RegRoot::DynData:
      break;
  }
  return "HKEY_DYN_DATA";
}

// Puts one recorded change back; false when it could not be.
bool UndoOne(platform::Files& files, platform::Registry& registry,
             const std::vector<std::string>& f) {
  const std::string& kind = f[0];
  if (kind == "F" && f.size() == 2)
    return !files.FileExists(f[1]) || files.DeleteFile(f[1]);
  if (kind == "R" && f.size() == 3)
    return !files.FileExists(f[2]) || files.MoveFile(f[2], f[1], true);
  if (kind == "D" && f.size() == 2)
    return !files.DirectoryExists(f[1]) || files.RemoveDirectory(f[1]);
  if (kind == "X" && f.size() == 2)
    return files.DirectoryExists(f[1]) || files.CreateDirectory(f[1]);
  if (kind == "K" && f.size() == 3) {
    const auto root = static_cast<platform::RegRoot>(Number(f[1]));
    return !registry.KeyExists(root, f[2]) || registry.DeleteEmptyKey(root, f[2]);
  }
  if (kind == "Y" && f.size() == 3) {
    const auto root = static_cast<platform::RegRoot>(Number(f[1]));
    return registry.KeyExists(root, f[2]) || registry.CreateKey(root, f[2]) != nullptr;
  }
  if (kind == "V" && f.size() >= 5) {
    const auto root = static_cast<platform::RegRoot>(Number(f[1]));
    if (f[4] == "-") {
      const auto key = registry.OpenKey(root, f[2]);
      return !key || !key->ValueType(f[3]) || key->DeleteValue(f[3]);
    }
    const auto key = registry.CreateKey(root, f[2]);
    if (!key || f.size() != 6)
      return false;
    switch (static_cast<platform::RegType>(Number(f[4]))) {
      case platform::RegType::String:
        return key->WriteString(f[3], f[5], false);
      case platform::RegType::ExpandString:
        return key->WriteString(f[3], f[5], true);
      case platform::RegType::DWord:
        return key->WriteDWord(f[3], Number(f[5]));
      case platform::RegType::Binary:
        return key->WriteBinary(f[3], Bytes(f[5]));
      default:
        return false;
    }
  }
  return true;
}

// The item of a line, for the user.
std::string Item(const std::vector<std::string>& f) {
  if ((f[0] == "V" || f[0] == "K" || f[0] == "Y") && f.size() >= 3) {
    const std::string key = RootName(static_cast<platform::RegRoot>(Number(f[1]))) + "\\" +
                            (f[2].starts_with("\\") ? f[2].substr(1) : f[2]);
    return f[0] == "V" && f.size() >= 4 ? key + " (" + f[3] + ")" : key;
  }
  if (f[0] == "R" && f.size() == 3)
    return f[1] + " (die frühere Datei liegt in " + f[2] + ")";
  return f.size() >= 2 ? f[1] : f[0];
}

}  // namespace

Journal::~Journal() = default;

bool Journal::Open(std::string workFolder) {
  workFolder_ = std::move(workFolder);
  out_ = files_.OpenWrite(JournalPath(workFolder_));
  if (!out_)
    return false;
  const std::string header = std::string(kHeader) + "\r\n";
  if (!out_->Write(header.data(), header.size())) {
    out_.reset();
    return false;
  }
  return true;
}

void Journal::Write(const std::vector<std::string>& fields) {
  std::string line;
  for (const std::string& field : fields)
    line += (line.empty() ? "" : "\t") + Escaped(field);
  line += "\r\n";
  ++entries_;
  if (!out_ || !out_->Write(line.data(), line.size()))
    throw std::runtime_error("Das Protokoll der Installation kann nicht geschrieben werden");
}

void Journal::FolderCreated(std::string_view path) {
  Write({"D", std::string(path)});
  createdFolders_.emplace_back(path);
}

void Journal::FolderRemoved(std::string_view path) {
  Write({"X", std::string(path)});
}

void Journal::FileCreated(std::string_view path) {
  Write({"F", std::string(path)});
}

std::string Journal::FileReplaced(std::string_view path) {
  if (backups_ == 0)
    files_.CreateDirectory(BackupFolder(workFolder_));
  const std::string backup = BackupFolder(workFolder_) + "\\" + std::to_string(++backups_);
  Write({"R", std::string(path), backup});
  return backup;
}

void Journal::KeyCreated(platform::RegRoot root, std::string_view key) {
  Write({"K", std::to_string(static_cast<int>(root)), std::string(key)});
}

void Journal::KeyRemoved(platform::RegRoot root, std::string_view key) {
  Write({"Y", std::to_string(static_cast<int>(root)), std::string(key)});
}

void Journal::ValueChanged(platform::RegRoot root, std::string_view key, std::string_view name,
                           const std::optional<OldValue>& old) {
  std::vector<std::string> fields = {"V", std::to_string(static_cast<int>(root)), std::string(key),
                                     std::string(name)};
  if (!old) {
    fields.push_back("-");
  } else {
    fields.push_back(std::to_string(static_cast<uint32_t>(old->type)));
    switch (old->type) {
      case platform::RegType::DWord:
        fields.push_back(std::to_string(old->dword));
        break;
      case platform::RegType::Binary:
        fields.push_back(Hex(old->bytes));
        break;
      default:
        fields.push_back(old->text);
        break;
    }
  }
  Write(fields);
}

void Journal::Discard() {
  out_.reset();
  for (int n = 1; n <= backups_; ++n)
    files_.DeleteFile(BackupFolder(workFolder_) + "\\" + std::to_string(n));
  files_.RemoveDirectory(BackupFolder(workFolder_));
  files_.DeleteFile(JournalPath(workFolder_));
}

bool HasJournal(platform::Files& files, std::string_view workFolder) {
  return files.FileExists(JournalPath(workFolder));
}

std::vector<std::string> UndoJournal(platform::Files& files, platform::Registry& registry,
                                     std::string_view workFolder) {
  std::vector<std::string> left;
  const std::optional<std::string> text = files.ReadFile(JournalPath(workFolder));
  if (!text)
    return left;
  const std::vector<std::string> lines = core::SplitLines(*text);
  for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
    if (line->empty() || *line == kHeader)
      continue;
    const std::vector<std::string> fields = Fields(*line);
    if (!UndoOne(files, registry, fields))
      left.push_back(Item(fields));
  }
  // A backup that could not be put back is the user's file: it stays.
  files.RemoveDirectory(BackupFolder(workFolder));
  files.DeleteFile(JournalPath(workFolder));
  return left;
}

}  // namespace engine
