#include "platform/sim/SimFiles.h"

#include <cctype>
#include <fstream>
#include <system_error>
#include <vector>

#include "platform/sim/SimError.h"
#include "platform/sim/SimText.h"

namespace platform::sim {

namespace fs = std::filesystem;

namespace {

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

bool HasDrive(std::string_view path) {
  return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

char DriveOf(std::string_view path) {
  return static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
}

// Splits a path on both separators, dropping empty parts.
std::vector<std::string> SplitParts(std::string_view path) {
  std::vector<std::string> parts;
  std::string part;
  for (const char c : path) {
    if (IsSeparator(c)) {
      if (!part.empty())
        parts.push_back(std::move(part));
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty())
    parts.push_back(std::move(part));
  return parts;
}

// `path` made absolute against `current` ("X:\..." form) with "." and ".."
// resolved, as GetFullPathName does; a trailing separator is kept. nullopt
// for network paths, which the sim has none of.
std::optional<std::string> Absolute(std::string_view path, std::string_view current) {
  if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]))
    return std::nullopt;
  std::string drive;
  std::vector<std::string> base;
  std::string_view rest = path;
  if (HasDrive(path)) {
    drive = std::string(path.substr(0, 2));
    rest = path.substr(2);
    if (!rest.empty() && IsSeparator(rest[0])) {
      // Rooted on that drive; nothing of the current directory applies.
    } else if (DriveOf(current) == DriveOf(path)) {
      base = SplitParts(current.substr(2));
    }
  } else {
    drive = std::string(current.substr(0, 2));
    if (rest.empty() || !IsSeparator(rest[0]))
      base = SplitParts(current.substr(2));
  }
  for (std::string& part : SplitParts(rest)) {
    if (part == ".")
      continue;
    if (part == "..") {
      if (!base.empty())
        base.pop_back();
      continue;
    }
    base.push_back(std::move(part));
  }
  std::string full = drive + "\\";
  for (size_t i = 0; i < base.size(); ++i) {
    if (i > 0)
      full += '\\';
    full += base[i];
  }
  if (!base.empty() && !rest.empty() && IsSeparator(rest.back()))
    full += '\\';
  return full;
}

std::string WithoutTrailingSeparator(std::string full) {
  if (full.size() > 3 && full.back() == '\\')
    full.pop_back();
  return full;
}

// The drive letter of a root such as "C:\", "C:" or "c:/"; 0 for anything else.
char RootLetter(std::string_view root) {
  if (!HasDrive(root))
    return 0;
  if (root.size() == 2 || (root.size() == 3 && IsSeparator(root[2])))
    return DriveOf(root);
  return 0;
}

}  // namespace

class SimFiles::SimReadStream : public ReadStream {
 public:
  SimReadStream(SimFiles& files, std::string key, std::ifstream in, uint64_t size)
      : files_(files), key_(std::move(key)), in_(std::move(in)), size_(size) {
    ++files_.open_[key_].readers;
  }
  ~SimReadStream() override { --files_.open_[key_].readers; }

  uint64_t Size() override { return size_; }

  std::optional<size_t> ReadAt(uint64_t offset, void* buffer, size_t size) override {
    if (offset >= size_)
      return 0;
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(offset));
    in_.read(static_cast<char*>(buffer), static_cast<std::streamsize>(size));
    if (in_.bad())
      return std::nullopt;
    return static_cast<size_t>(in_.gcount());
  }

 private:
  SimFiles& files_;
  std::string key_;
  std::ifstream in_;
  uint64_t size_;
};

class SimFiles::SimWriteStream : public WriteStream {
 public:
  SimWriteStream(SimFiles& files, std::string key, std::ofstream out)
      : files_(files), key_(std::move(key)), out_(std::move(out)) {
    ++files_.open_[key_].writers;
  }
  ~SimWriteStream() override { --files_.open_[key_].writers; }

  bool Write(const void* data, size_t size) override {
    // A full drive takes what still fits, as Windows does.
    const uint64_t fits = files_.Take(key_.front(), size, true);
    out_.write(static_cast<const char*>(data), static_cast<std::streamsize>(fits));
    out_.flush();
    return static_cast<bool>(out_) && fits == size;
  }

 private:
  SimFiles& files_;
  std::string key_;
  std::ofstream out_;
};

SimFiles::SimFiles(fs::path hostRoot) : root_(std::move(hostRoot)), current_("C:\\") {}

void SimFiles::AddDrive(char letter, DriveType type, bool present, std::string label,
                        uint32_t serial) {
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  drives_[letter] = Drive{type, present, std::move(label), serial};
  const fs::path host = root_ / std::string(1, letter);
  std::error_code ec;
  if (present) {
    fs::create_directories(host, ec);
  } else {
    fs::remove_all(host, ec);
  }
}

std::optional<SimFiles::Resolved> SimFiles::Resolve(std::string_view path) {
  if (path.empty())
    return std::nullopt;
  const std::optional<std::string> absolute = Absolute(path, current_);
  if (!absolute)
    return std::nullopt;
  const std::string full = WithoutTrailingSeparator(*absolute);
  const auto drive = drives_.find(DriveOf(full));
  if (drive == drives_.end() || !drive->second.present)
    return std::nullopt;

  const fs::path driveRoot = root_ / std::string(1, drive->first);
  const std::vector<std::string> parts = SplitParts(std::string_view(full).substr(2));
  // A path spelt as it exists needs no lookup of its parts.
  fs::path host = driveRoot;
  for (const std::string& part : parts)
    host /= part;
  std::error_code exists;
  if (fs::exists(host, exists))
    return Resolved{full, FoldCase(full), host};

  host = driveRoot;
  bool lookup = true;
  for (const std::string& part : parts) {
    std::string name = part;
    if (lookup) {
      std::error_code ec;
      if (!fs::exists(host / part, ec)) {
        lookup = false;
        const std::string folded = FoldCase(part);
        for (const fs::directory_entry& entry : fs::directory_iterator(host, ec)) {
          const std::string existing = entry.path().filename().string();
          if (FoldCase(existing) == folded) {
            name = existing;
            lookup = true;
            break;
          }
        }
      }
    }
    host /= name;
  }
  return Resolved{full, FoldCase(full), host};
}

fs::path SimFiles::HostPath(std::string_view path) {
  if (const std::optional<Resolved> file = Resolve(path))
    return file->host;
  return root_ / "no-such-drive";
}

void SimFiles::PutFile(std::string_view path, std::string_view content) {
  const std::optional<Resolved> file = Resolve(path);
  if (!file)
    throw SimError("no drive for " + std::string(path));
  std::error_code ec;
  fs::create_directories(file->host.parent_path(), ec);
  std::ofstream out(file->host, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!out)
    throw SimError("cannot write " + std::string(path));
}

void SimFiles::SetAttributes(std::string_view path, uint32_t attributes) {
  const std::optional<Resolved> file = Resolve(path);
  std::error_code ec;
  if (!file || !fs::exists(file->host, ec))
    throw SimError("no such file " + std::string(path));
  attributes_[file->key] = attributes & (attr::ReadOnly | attr::Hidden | attr::System);
}

void SimFiles::ForceCurrentDirectory(std::string_view path) {
  if (!SetCurrentDirectory(path))
    throw SimError("no such directory " + std::string(path));
}

void SimFiles::DenyWrites(std::string_view path, bool deny) {
  const std::optional<Resolved> dir = Resolve(path);
  if (!dir)
    throw SimError("no drive for " + std::string(path));
  if (deny) {
    denied_.insert(dir->key);
  } else {
    denied_.erase(dir->key);
  }
}

bool SimFiles::WritesDenied(const Resolved& file) const {
  for (const std::string& denied : denied_) {
    if (file.key == denied || file.key.starts_with(denied + "\\"))
      return true;
  }
  return false;
}

bool SimFiles::Writable(const Resolved& file) {
  if (WritesDenied(file))
    return false;
  const auto open = open_.find(file.key);
  if (open != open_.end() && (open->second.readers > 0 || open->second.writers > 0))
    return false;
  const auto attributes = attributes_.find(file.key);
  return attributes == attributes_.end() || (attributes->second & attr::ReadOnly) == 0;
}

bool SimFiles::BeingWritten(const Resolved& file) const {
  const auto open = open_.find(file.key);
  return open != open_.end() && open->second.writers > 0;
}

bool SimFiles::FileExists(std::string_view path) {
  const std::optional<Resolved> file = Resolve(path);
  std::error_code ec;
  return file && fs::is_regular_file(file->host, ec);
}

bool SimFiles::DirectoryExists(std::string_view path) {
  const std::optional<Resolved> file = Resolve(path);
  std::error_code ec;
  return file && fs::is_directory(file->host, ec);
}

bool SimFiles::CreateDirectory(std::string_view path) {
  const std::optional<Resolved> dir = Resolve(path);
  std::error_code ec;
  if (!dir || fs::exists(dir->host, ec) || !fs::is_directory(dir->host.parent_path(), ec) ||
      WritesDenied(*dir)) {
    return false;
  }
  return fs::create_directory(dir->host, ec);
}

void SimFiles::SetFreeSpace(char letter, uint64_t bytes) {
  free_[static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))] = bytes;
}

uint64_t SimFiles::Take(char drive, uint64_t bytes, bool partly) {
  const auto free = free_.find(static_cast<char>(std::toupper(static_cast<unsigned char>(drive))));
  if (free == free_.end())
    return bytes;
  if (bytes > free->second && !partly)
    return 0;
  const uint64_t taken = std::min(bytes, free->second);
  free->second -= taken;
  return taken;
}

void SimFiles::GiveBack(char drive, uint64_t bytes) {
  const auto free = free_.find(static_cast<char>(std::toupper(static_cast<unsigned char>(drive))));
  if (free != free_.end())
    free->second += bytes;
}

uint64_t SimFiles::SizeOf(const Resolved& file) {
  std::error_code ec;
  if (!fs::is_regular_file(file.host, ec))
    return 0;
  const uint64_t size = fs::file_size(file.host, ec);
  return ec ? 0 : size;
}

bool SimFiles::CreatePrivateDirectory(std::string_view path) {
  if (!CreateDirectory(path))
    return false;
  private_.insert(Resolve(path)->key);
  return true;
}

bool SimFiles::IsPrivateDirectory(std::string_view path) {
  const std::optional<Resolved> dir = Resolve(path);
  std::error_code ec;
  return dir && fs::is_directory(dir->host, ec) && private_.contains(dir->key);
}

bool SimFiles::RemoveDirectory(std::string_view path) {
  const std::optional<Resolved> dir = Resolve(path);
  std::error_code ec;
  if (!dir || !fs::is_directory(dir->host, ec) || !fs::is_empty(dir->host, ec) ||
      WritesDenied(*dir)) {
    return false;
  }
  if (!fs::remove(dir->host, ec))
    return false;
  attributes_.erase(dir->key);
  private_.erase(dir->key);
  return true;
}

bool SimFiles::CopyFile(std::string_view from, std::string_view to, bool failIfExists) {
  const std::optional<Resolved> source = Resolve(from);
  const std::optional<Resolved> target = Resolve(to);
  std::error_code ec;
  if (!source || !target || !fs::is_regular_file(source->host, ec))
    return false;
  if (BeingWritten(*source) || WritesDenied(*target))
    return false;
  if (fs::exists(target->host, ec)) {
    if (failIfExists || fs::is_directory(target->host, ec) || !Writable(*target))
      return false;
  }
  // A copy that does not fit fails before it writes anything.
  const uint64_t size = SizeOf(*source);
  const uint64_t replaced = SizeOf(*target);
  if (size > replaced && Take(target->key.front(), size - replaced, false) != size - replaced)
    return false;
  if (!fs::copy_file(source->host, target->host, fs::copy_options::overwrite_existing, ec)) {
    GiveBack(target->key.front(), size > replaced ? size - replaced : 0);
    return false;
  }
  if (replaced > size)
    GiveBack(target->key.front(), replaced - size);
  // Windows copies the attributes along with the content.
  if (const auto attributes = attributes_.find(source->key); attributes != attributes_.end()) {
    attributes_[target->key] = attributes->second;
  } else {
    attributes_.erase(target->key);
  }
  return true;
}

bool SimFiles::MoveFile(std::string_view from, std::string_view to, bool replace) {
  const std::optional<Resolved> source = Resolve(from);
  const std::optional<Resolved> target = Resolve(to);
  std::error_code ec;
  if (!source || !target || !fs::is_regular_file(source->host, ec) || source->key == target->key)
    return false;
  // A file open elsewhere cannot be moved; Windows keeps its name in use.
  if (const auto open = open_.find(source->key);
      open != open_.end() && (open->second.readers > 0 || open->second.writers > 0)) {
    return false;
  }
  if (WritesDenied(*source) || WritesDenied(*target) ||
      !fs::is_directory(target->host.parent_path(), ec))
    return false;
  if (fs::exists(target->host, ec) &&
      (!replace || fs::is_directory(target->host, ec) || !Writable(*target))) {
    return false;
  }
  // Within a drive a move takes no room; onto another drive it is a copy.
  const uint64_t size = SizeOf(*source);
  const uint64_t replaced = SizeOf(*target);
  const bool otherDrive = source->key.front() != target->key.front();
  const uint64_t needed = otherDrive ? size : 0;
  if (needed > replaced && Take(target->key.front(), needed - replaced, false) != needed - replaced)
    return false;
  fs::rename(source->host, target->host, ec);
  if (ec) {
    GiveBack(target->key.front(), needed > replaced ? needed - replaced : 0);
    return false;
  }
  if (replaced > needed)
    GiveBack(target->key.front(), replaced - needed);
  if (otherDrive)
    GiveBack(source->key.front(), size);
  attributes_.erase(target->key);
  if (const auto attributes = attributes_.find(source->key); attributes != attributes_.end()) {
    attributes_[target->key] = attributes->second;
    attributes_.erase(attributes);
  }
  return true;
}

bool SimFiles::DeleteFile(std::string_view path) {
  const std::optional<Resolved> file = Resolve(path);
  std::error_code ec;
  if (!file || !fs::is_regular_file(file->host, ec) || !Writable(*file))
    return false;
  const uint64_t size = SizeOf(*file);
  if (!fs::remove(file->host, ec))
    return false;
  GiveBack(file->key.front(), size);
  attributes_.erase(file->key);
  return true;
}

bool SimFiles::DeleteAtRestart(std::string_view path) {
  const std::optional<Resolved> file = Resolve(path);
  std::error_code ec;
  if (!file || !fs::is_regular_file(file->host, ec))
    return false;
  restartDeletes_.push_back(file->full);
  return true;
}

const std::vector<std::string>& SimFiles::RestartDeletes() const {
  return restartDeletes_;
}

std::optional<std::string> SimFiles::ReadFile(std::string_view path) {
  const std::unique_ptr<ReadStream> in = OpenRead(path);
  if (!in)
    return std::nullopt;
  std::string content(in->Size(), '\0');
  const std::optional<size_t> read = in->ReadAt(0, content.data(), content.size());
  if (!read)
    return std::nullopt;
  content.resize(*read);
  return content;
}

bool SimFiles::WriteFile(std::string_view path, std::string_view content) {
  std::unique_ptr<WriteStream> out = OpenWrite(path);
  return out && out->Write(content.data(), content.size());
}

std::unique_ptr<ReadStream> SimFiles::OpenRead(std::string_view path) {
  const std::optional<Resolved> file = Resolve(path);
  std::error_code ec;
  if (!file || !fs::is_regular_file(file->host, ec))
    return nullptr;
  if (BeingWritten(*file))
    return nullptr;
  const uint64_t size = fs::file_size(file->host, ec);
  if (ec)
    return nullptr;
  std::ifstream in(file->host, std::ios::binary);
  if (!in)
    return nullptr;
  return std::make_unique<SimReadStream>(*this, file->key, std::move(in), size);
}

std::unique_ptr<WriteStream> SimFiles::OpenWrite(std::string_view path) {
  const std::optional<Resolved> file = Resolve(path);
  std::error_code ec;
  if (!file || fs::is_directory(file->host, ec) || !Writable(*file))
    return nullptr;
  const uint64_t truncated = SizeOf(*file);
  std::ofstream out(file->host, std::ios::binary | std::ios::trunc);
  if (!out)
    return nullptr;
  GiveBack(file->key.front(), truncated);
  return std::make_unique<SimWriteStream>(*this, file->key, std::move(out));
}

std::optional<uint32_t> SimFiles::Attributes(std::string_view path) {
  const std::optional<Resolved> file = Resolve(path);
  std::error_code ec;
  if (!file || !fs::exists(file->host, ec))
    return std::nullopt;
  return AttributesOf(fs::is_directory(file->host, ec), file->key);
}

uint32_t SimFiles::AttributesOf(bool directory, const std::string& key) const {
  // Windows marks new files for backup (archive bit); directories carry only
  // their own bit.
  uint32_t attributes = directory ? attr::Directory : attr::Archive;
  if (const auto extra = attributes_.find(key); extra != attributes_.end())
    attributes |= extra->second;
  return attributes;
}

std::vector<DirEntry> SimFiles::ListDirectory(std::string_view path) {
  std::vector<DirEntry> entries;
  const std::optional<Resolved> dir = Resolve(path);
  std::error_code ec;
  if (!dir || !fs::is_directory(dir->host, ec))
    return entries;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir->host, ec)) {
    const std::string name = entry.path().filename().string();
    const std::string child = dir->full.back() == '\\' ? dir->full + name : dir->full + "\\" + name;
    entries.push_back(DirEntry{name, AttributesOf(entry.is_directory(ec), FoldCase(child))});
  }
  return entries;
}

std::string SimFiles::CurrentDirectory() {
  return current_;
}

bool SimFiles::SetCurrentDirectory(std::string_view path) {
  const std::optional<Resolved> dir = Resolve(path);
  std::error_code ec;
  if (!dir || !fs::is_directory(dir->host, ec))
    return false;
  current_ = dir->full;
  return true;
}

std::string SimFiles::WindowsDirectory() {
  return "C:\\Windows";
}

std::string SimFiles::TempDirectory() {
  return "C:\\Windows\\Temp\\";
}

std::string SimFiles::FullPath(std::string_view path) {
  std::optional<std::string> full = Absolute(path, current_);
  if (!full) {
    std::string same(path);
    for (char& c : same) {
      if (c == '/')
        c = '\\';
    }
    return same;
  }
  return *full;
}

uint32_t SimFiles::LogicalDrives() {
  uint32_t mask = 0;
  for (const auto& [letter, drive] : drives_)
    mask |= 1u << (letter - 'A');
  return mask;
}

DriveType SimFiles::GetDriveType(std::string_view root) {
  const char letter = RootLetter(root);
  const auto drive = drives_.find(letter);
  if (drive == drives_.end())
    return DriveType::NoRootDir;
  return drive->second.type;
}

std::optional<VolumeInfo> SimFiles::VolumeInformation(std::string_view root) {
  const auto drive = drives_.find(RootLetter(root));
  if (drive == drives_.end() || !drive->second.present)
    return std::nullopt;
  return VolumeInfo{drive->second.label, drive->second.serial};
}

std::optional<uint64_t> SimFiles::DiskSize(std::string_view root) {
  const auto drive = drives_.find(RootLetter(root));
  if (drive == drives_.end() || !drive->second.present)
    return std::nullopt;
  return kSimDiskSize;
}

std::optional<uint64_t> SimFiles::FreeSpace(std::string_view root) {
  const auto drive = drives_.find(RootLetter(root));
  if (drive == drives_.end() || !drive->second.present)
    return std::nullopt;
  const auto free = free_.find(drive->first);
  return free == free_.end() ? kSimDiskSize / 2 : free->second;
}

}  // namespace platform::sim
