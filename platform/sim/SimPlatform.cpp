#include "platform/sim/SimPlatform.h"

#include <dlfcn.h>

#include <algorithm>
#include <deque>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <system_error>

#include "platform/sim/SimFiles.h"
#include "platform/sim/SimProcesses.h"
#include "platform/sim/SimProfile.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimShell.h"
#include "platform/sim/SimText.h"

namespace platform::sim {

namespace fs = std::filesystem;

namespace {

fs::path MakeHostRoot() {
  std::random_device random;
  const fs::path base = fs::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate = base / ("simplatform-" + std::to_string(random()));
    std::error_code ec;
    if (fs::create_directory(candidate, ec))
      return candidate;
  }
  throw SimError("cannot create a host folder for the simulated drives");
}

std::string FileNameOf(std::string_view path) {
  const size_t slash = path.find_last_of("\\/:");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool IsBareName(std::string_view path) {
  return path.find_first_of("\\/:") == std::string::npos;
}

// LoadLibrary appends ".dll" to a file name without extension.
std::string WithDllExtension(std::string_view path) {
  std::string name(path);
  if (FileNameOf(name).find('.') == std::string::npos)
    name += ".dll";
  return name;
}

bool Offers(MsgButtons buttons, MsgAnswer answer) {
  switch (buttons) {
    case MsgButtons::Ok:
      return answer == MsgAnswer::Ok;
    case MsgButtons::OkCancel:
      return answer == MsgAnswer::Ok || answer == MsgAnswer::Cancel;
    case MsgButtons::YesNo:
      return answer == MsgAnswer::Yes || answer == MsgAnswer::No;
  }
  return false;
}

class SimDialogs : public Dialogs {
 public:
  MsgAnswer MessageBox(std::string_view caption, std::string_view text, MsgButtons buttons,
                       MsgIcon icon) override {
    ShownMessage shown{std::string(caption), std::string(text), buttons, icon,
                       buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok};
    if (hook)
      hook(shown);
    if (!answers.empty()) {
      shown.answer = answers.front();
      answers.pop_front();
    }
    messages.push_back(shown);
    if (!Offers(buttons, shown.answer)) {
      throw SimError("message box \"" + shown.caption + "\" has no button for the queued answer");
    }
    return shown.answer;
  }

  std::deque<MsgAnswer> answers;
  std::function<void(const ShownMessage&)> hook;
  std::vector<ShownMessage> messages;
};

class SimLibrary : public Library {
 public:
  SimLibrary(int& openCount, SimPlatform::EntryResolver entries, void* handle)
      : openCount_(openCount), entries_(std::move(entries)), handle_(handle) {
    ++openCount_;
  }
  ~SimLibrary() override {
    --openCount_;
    if (handle_)
      dlclose(handle_);
  }

  void* Find(std::string_view entry) override {
    if (entries_)
      return entries_(entry);
    return dlsym(handle_, std::string(entry).c_str());
  }

 private:
  int& openCount_;
  SimPlatform::EntryResolver entries_;
  void* handle_;
};

class SimSystem : public System {
 public:
  std::string ModulePath() override { return modulePath; }
  std::vector<std::string> Arguments() override { return arguments; }
  void PostQuit() override { quitPosted = true; }
  void EnterThread() override { ++threadsEntered; }
  void LeaveThread() override { ++threadsLeft; }
  void ProcessMessages() override {
    if (hook)
      hook();
  }
  void SetBusyCursor(bool) override {}
  std::string AnsiToUtf8(std::string_view ansi) override { return Utf16ToUtf8(AnsiToUtf16(ansi)); }
  std::string Utf8ToAnsi(std::string_view utf8) override { return Utf16ToAnsi(Utf8ToUtf16(utf8)); }
  std::string OemToUtf8(std::string_view oem) override { return Utf16ToUtf8(OemToUtf16(oem)); }
  unsigned OemCodePage() override { return 850; }
  std::string DecimalSeparator() override { return decimalSeparator; }
  int CompareNames(std::string_view a, std::string_view b) override {
    return CompareNamesForUser(Utf8ToUtf16(a), Utf8ToUtf16(b));
  }
  void RestartWindows() override { ++restartRequests; }
  bool HoldLock(std::string_view name) override { return locks.emplace(name).second; }
  std::string LocalDate() override { return localDate; }
  uint64_t UnguessableNumber() override {
    if (numbers.empty())
      return ++lastNumber;
    lastNumber = numbers.front();
    numbers.pop_front();
    return lastNumber;
  }

  std::string modulePath = "C:\\Setup\\Setup.exe";
  std::vector<std::string> arguments;
  bool quitPosted = false;
  std::atomic<int> threadsEntered = 0;
  std::atomic<int> threadsLeft = 0;
  std::function<void()> hook;
  std::string decimalSeparator = ",";
  int restartRequests = 0;
  std::set<std::string, std::less<>> locks;
  std::string localDate = "20261210";
  std::deque<uint64_t> numbers;
  uint64_t lastNumber = 0;
};

// The key to write a value to, created with its parents; throws SimError
// when the path is malformed.
SimRegistry::Key& KeyToWrite(SimRegistry& registry, RegRoot root, std::string_view key) {
  SimRegistry::Key* found = registry.Find(root, key, true);
  if (!found)
    throw SimError("malformed registry key " + std::string(key));
  return *found;
}

std::string DirectoryOf(std::string_view path) {
  const size_t slash = path.find_last_of("\\/");
  return std::string(slash == std::string_view::npos ? std::string_view() : path.substr(0, slash));
}

class SimLibraries : public Libraries {
 public:
  SimLibraries(SimFiles& files, const SimSystem& system) : files_(files), system_(system) {}

  std::unique_ptr<Library> Load(std::string_view path) override {
    loaded.emplace_back(path);
    const std::string name = WithDllExtension(path);
    const bool bare = IsBareName(name);
    const std::string wanted = FoldCase(bare ? name : files_.FullPath(name));
    for (const Registered& library : registered) {
      if (wanted == (bare ? library.fileName : library.fullPath)) {
        return std::make_unique<SimLibrary>(openCount, library.entries, nullptr);
      }
    }
    const std::optional<std::string> file = Locate(name, bare);
    if (!file)
      return nullptr;
    void* handle = dlopen(files_.HostPath(*file).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
      return nullptr;
    return std::make_unique<SimLibrary>(openCount, nullptr, handle);
  }

  void Register(std::string_view path, SimPlatform::EntryResolver entries) {
    const std::string name = WithDllExtension(path);
    registered.push_back(
        {FoldCase(files_.FullPath(name)), FoldCase(FileNameOf(name)), std::move(entries)});
  }

  struct Registered {
    std::string fullPath;
    std::string fileName;
    SimPlatform::EntryResolver entries;
  };
  std::vector<Registered> registered;
  std::vector<std::string> loaded;
  int openCount = 0;

 private:
  // The file a path names; a bare name is searched as Windows does: the
  // program's folder, the system folder, the Windows folder, the current one.
  std::optional<std::string> Locate(const std::string& name, bool bare) {
    if (!bare) {
      if (files_.FileExists(name))
        return name;
      return std::nullopt;
    }
    const std::string windows = files_.WindowsDirectory();
    for (const std::string& folder : {DirectoryOf(system_.modulePath), windows + "\\System32",
                                      windows, files_.CurrentDirectory()}) {
      const std::string candidate = folder.ends_with('\\') ? folder + name : folder + "\\" + name;
      if (files_.FileExists(candidate))
        return candidate;
    }
    return std::nullopt;
  }

  SimFiles& files_;
  const SimSystem& system_;
};

}  // namespace

struct SimPlatform::Impl {
  Impl()
      : hostRoot(MakeHostRoot()),
        files(hostRoot),
        profile(files),
        libraries(files, system),
        shell(files),
        processes(files),
        services{registry, profile, files, dialogs, libraries, system, shell, processes} {}

  ~Impl() {
    std::error_code ec;
    fs::remove_all(hostRoot, ec);
  }

  fs::path hostRoot;
  SimFiles files;
  SimRegistry registry;
  SimProfile profile;
  SimDialogs dialogs;
  SimSystem system;
  SimLibraries libraries;
  SimShell shell;
  SimProcesses processes;
  Platform services;
};

SimPlatform::SimPlatform() : impl_(std::make_unique<Impl>()) {
  impl_->files.AddDrive('C', DriveType::Fixed, true, {}, 0);
  for (const char* folder : {"Windows", "Windows\\System32", "Windows\\Temp"}) {
    fs::create_directories(impl_->files.HostPath(std::string("C:\\") + folder));
  }
}

SimPlatform::~SimPlatform() = default;

Platform& SimPlatform::platform() {
  return impl_->services;
}

void SimPlatform::AddDrive(char letter, DriveType type, bool present, std::string label,
                           uint32_t serial) {
  impl_->files.AddDrive(letter, type, present, std::move(label), serial);
}

fs::path SimPlatform::HostPath(std::string_view windowsPath) {
  return impl_->files.HostPath(windowsPath);
}

const std::vector<std::string>& SimPlatform::RestartDeletes() const {
  return impl_->files.RestartDeletes();
}

void SimPlatform::PutFile(std::string_view windowsPath, std::string_view content) {
  impl_->files.PutFile(windowsPath, content);
}

void SimPlatform::SetCurrentDirectory(std::string_view windowsPath) {
  impl_->files.ForceCurrentDirectory(windowsPath);
}

void SimPlatform::DenyWrites(std::string_view windowsPath, bool deny) {
  impl_->files.DenyWrites(windowsPath, deny);
}

void SimPlatform::SetFreeSpace(char drive, uint64_t bytes) {
  impl_->files.SetFreeSpace(drive, bytes);
}

void SimPlatform::SetAttributes(std::string_view windowsPath, uint32_t attributes) {
  impl_->files.SetAttributes(windowsPath, attributes);
}

void SimPlatform::DenyRegistryRoot(RegRoot root, bool deny) {
  impl_->registry.Deny(root, deny);
}

void SimPlatform::PutRegString(RegRoot root, std::string_view key, std::string_view name,
                               std::string_view value, RegType type) {
  PutString(KeyToWrite(impl_->registry, root, key), name, value, type);
}

void SimPlatform::PutRegDWord(RegRoot root, std::string_view key, std::string_view name,
                              uint32_t value) {
  PutDWord(KeyToWrite(impl_->registry, root, key), name, value);
}

void SimPlatform::PutRegBinary(RegRoot root, std::string_view key, std::string_view name,
                               std::vector<uint8_t> value) {
  PutBinary(KeyToWrite(impl_->registry, root, key), name, std::move(value));
}

std::string SimPlatform::Describe() const {
  std::vector<std::string> lines;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(impl_->hostRoot, ec);
       it != fs::recursive_directory_iterator(); it.increment(ec)) {
    const std::string relative = fs::relative(it->path(), impl_->hostRoot, ec).string();
    if (it->is_directory(ec)) {
      lines.push_back(relative + "/");
    } else {
      std::ifstream in(it->path(), std::ios::binary);
      std::ostringstream content;
      content << in.rdbuf();
      lines.push_back(relative + " = " + content.str());
    }
  }
  std::sort(lines.begin(), lines.end());
  std::string out;
  for (const std::string& line : lines)
    out += line + "\n";
  return out + impl_->registry.Dump();
}

bool SimPlatform::RegKeyExists(RegRoot root, std::string_view key) const {
  return impl_->registry.Find(root, key) != nullptr;
}

std::optional<RegType> SimPlatform::RegValueType(RegRoot root, std::string_view key,
                                                 std::string_view name) const {
  return TypeOf(impl_->registry.FindValue(root, key, name));
}

std::optional<std::string> SimPlatform::RegString(RegRoot root, std::string_view key,
                                                  std::string_view name) const {
  return StringOf(impl_->registry.FindValue(root, key, name));
}

std::optional<uint32_t> SimPlatform::RegDWord(RegRoot root, std::string_view key,
                                              std::string_view name) const {
  return DWordOf(impl_->registry.FindValue(root, key, name));
}

std::optional<std::vector<uint8_t>> SimPlatform::RegBinary(RegRoot root, std::string_view key,
                                                           std::string_view name) const {
  return BinaryOf(impl_->registry.FindValue(root, key, name));
}

void SimPlatform::QueueAnswers(std::vector<MsgAnswer> answers) {
  impl_->dialogs.answers.insert(impl_->dialogs.answers.end(), answers.begin(), answers.end());
}

void SimPlatform::OnMessage(std::function<void(const ShownMessage&)> hook) {
  impl_->dialogs.hook = std::move(hook);
}

const std::vector<ShownMessage>& SimPlatform::Messages() const {
  return impl_->dialogs.messages;
}

void SimPlatform::SetModulePath(std::string_view windowsPath) {
  impl_->system.modulePath = std::string(windowsPath);
}

void SimPlatform::SetArguments(std::vector<std::string> args) {
  impl_->system.arguments = std::move(args);
}

void SimPlatform::SetLocalDate(std::string yyyymmdd) {
  impl_->system.localDate = std::move(yyyymmdd);
}

void SimPlatform::QueueUnguessableNumbers(std::vector<uint64_t> numbers) {
  impl_->system.numbers.insert(impl_->system.numbers.end(), numbers.begin(), numbers.end());
}

bool SimPlatform::IsPrivateDirectory(std::string_view windowsPath) {
  return impl_->files.IsPrivateDirectory(windowsPath);
}

void SimPlatform::HoldLockElsewhere(std::string_view name) {
  impl_->system.locks.emplace(name);
}

int SimPlatform::RestartRequests() const {
  return impl_->system.restartRequests;
}

const std::vector<std::string>& SimPlatform::OpenedAddresses() const {
  return impl_->shell.openedAddresses;
}

bool SimPlatform::QuitPosted() const {
  return impl_->system.quitPosted;
}

void SimPlatform::OnProcessMessages(std::function<void()> hook) {
  impl_->system.hook = std::move(hook);
}

void SimPlatform::QueueFolderChoices(std::vector<std::optional<std::string>> choices) {
  for (std::optional<std::string>& choice : choices)
    impl_->shell.choices.push_back(std::move(choice));
}

const std::vector<std::string>& SimPlatform::FolderBrowserPrompts() const {
  return impl_->shell.prompts;
}

void SimPlatform::SetSpecialFolder(SpecialFolder folder, std::string path) {
  impl_->shell.folders[folder] = std::move(path);
}

void SimPlatform::DenyShellLinks(bool deny) {
  impl_->shell.shellLinkDenied = deny;
}

void SimPlatform::SetDecimalSeparator(std::string separator) {
  impl_->system.decimalSeparator = std::move(separator);
}

const std::vector<StartedProcess>& SimPlatform::StartedProcesses() const {
  return impl_->processes.started;
}

void SimPlatform::RegisterLibrary(std::string_view windowsPath, EntryResolver entries) {
  impl_->libraries.Register(windowsPath, std::move(entries));
}

const std::vector<std::string>& SimPlatform::LoadedLibraries() const {
  return impl_->libraries.loaded;
}

int SimPlatform::OpenLibraryCount() const {
  return impl_->libraries.openCount;
}

}  // namespace platform::sim
