#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/sim/SimError.h"

namespace platform::sim {

/// A message box the program showed, with the answer it got.
struct ShownMessage {
  std::string caption;
  std::string text;
  MsgButtons buttons = MsgButtons::Ok;
  MsgIcon icon = MsgIcon::None;
  MsgAnswer answer = MsgAnswer::Ok;
};

/// A start of another program that the program asked for: the command line
/// and the current directory it gave.
struct StartedProcess {
  std::string commandLine;
  std::string currentDirectory;
};

/// A whole simulated machine for tests: drives mapped into a host folder, an
/// in-memory registry, scripted message boxes, a process with a module path,
/// arguments and a current directory. Every service records what it was
/// asked, so tests can check what the logic touched. Streams, registry keys and
/// libraries it handed out must go away before it does.
class SimPlatform {
 public:
  /// Creates a fresh machine whose drives live below a new temporary host
  /// folder (removed again by the destructor). Drive C: exists, holds
  /// "C:\Windows", "C:\Windows\System32" and "C:\Windows\Temp", and is the
  /// current directory. The program runs as "C:\Setup\Setup.exe" (a path
  /// only; no file is there) without arguments.
  SimPlatform();
  ~SimPlatform();
  SimPlatform(const SimPlatform&) = delete;
  SimPlatform& operator=(const SimPlatform&) = delete;

  Platform& platform();

  // --- drives and files ---
  /// Adds a drive. `present` false simulates a drive without a medium.
  void AddDrive(char letter, DriveType type, bool present = true, std::string label = {},
                uint32_t serial = 0);
  /// The host path that a Windows path maps to (case-insensitive lookup of
  /// existing components; missing components keep the given spelling).
  std::filesystem::path HostPath(std::string_view windowsPath);
  /// Writes a file, creating its missing directories. Throws SimError when
  /// the drive does not exist or holds no medium.
  void PutFile(std::string_view windowsPath, std::string_view content);
  /// Throws SimError when the directory does not exist.
  void SetCurrentDirectory(std::string_view windowsPath);
  /// Refuses every change at or below `windowsPath` (a full or
  /// write-protected medium); `deny` false allows changes again.
  void DenyWrites(std::string_view windowsPath, bool deny = true);
  /// From now on the drive has only `bytes` free: writes that need more
  /// fail as on a full drive (a stream writes what still fits), deletions
  /// give room back. The unzip library of the tests writes past it.
  void SetFreeSpace(char drive, uint64_t bytes);
  /// Gives an existing file or directory the read-only, hidden and system
  /// bits of `attributes` (other bits are ignored); a Linux file system has no
  /// place for them. Throws SimError when the path does not exist.
  void SetAttributes(std::string_view windowsPath, uint32_t attributes);
  /// Whether the program made that directory as a private one (only
  /// administrators, the system and the running user may open it); the
  /// simulated file system keeps no access lists, only this request.
  bool IsPrivateDirectory(std::string_view windowsPath);
  /// The full paths the program marked for deletion at the next start of
  /// Windows, in order.
  const std::vector<std::string>& RestartDeletes() const;

  // --- registry ---
  /// Refuses every open or create below `root` (as a user without rights is
  /// refused full access to HKEY_LOCAL_MACHINE).
  void DenyRegistryRoot(RegRoot root, bool deny = true);
  /// Writes a value directly, creating keys as needed.
  void PutRegString(RegRoot root, std::string_view key, std::string_view name,
                    std::string_view value, RegType type = RegType::String);
  void PutRegDWord(RegRoot root, std::string_view key, std::string_view name, uint32_t value);
  void PutRegBinary(RegRoot root, std::string_view key, std::string_view name,
                    std::vector<uint8_t> value);
  bool RegKeyExists(RegRoot root, std::string_view key) const;
  /// The whole machine as it stands: every file with its content and every
  /// folder of every drive, every registry key and value, one line each in
  /// a stable order. Two machines are alike when their descriptions are.
  std::string Describe() const;
  std::optional<RegType> RegValueType(RegRoot root, std::string_view key,
                                      std::string_view name) const;
  std::optional<std::string> RegString(RegRoot root, std::string_view key,
                                       std::string_view name) const;
  std::optional<uint32_t> RegDWord(RegRoot root, std::string_view key, std::string_view name) const;
  std::optional<std::vector<uint8_t>> RegBinary(RegRoot root, std::string_view key,
                                                std::string_view name) const;

  // --- message boxes ---
  /// Queues answers for the next message boxes, in order. A box shown with no
  /// queued answer gets the first button of its kind (OK or Yes). A queued
  /// answer the box has no button for makes it throw SimError.
  void QueueAnswers(std::vector<MsgAnswer> answers);
  /// Called for every message box before it is answered; may queue answers.
  void OnMessage(std::function<void(const ShownMessage&)> hook);
  const std::vector<ShownMessage>& Messages() const;

  // --- shell ---
  /// Answers for the next folder browsers, in order: a path is chosen,
  /// nullopt cancels. A browser shown with nothing queued is cancelled.
  void QueueFolderChoices(std::vector<std::optional<std::string>> choices);
  /// The prompt of every folder browser shown so far.
  const std::vector<std::string>& FolderBrowserPrompts() const;
  /// Gives a special folder another path; the empty path makes it unknown.
  void SetSpecialFolder(SpecialFolder folder, std::string path);
  /// Takes the shell link object away (or, with `deny` false, gives it
  /// back): shortcuts cannot be made at all then.
  void DenyShellLinks(bool deny = true);
  /// Every address the program asked the shell to open, in order; nothing
  /// is opened.
  const std::vector<std::string>& OpenedAddresses() const;

  // --- process ---
  void SetModulePath(std::string_view windowsPath);
  void SetArguments(std::vector<std::string> args);
  bool QuitPosted() const;
  /// Today's date as "yyyymmdd"; 10 December 2026 to begin with.
  void SetLocalDate(std::string yyyymmdd);
  /// The next numbers the system's generator gives, in order; after them
  /// (and to begin with) it counts up from the last one given, from 1.
  void QueueUnguessableNumbers(std::vector<uint64_t> numbers);
  /// Another process of the machine holds the lock of that name.
  void HoldLockElsewhere(std::string_view name);
  /// How often the program asked Windows to restart; nothing restarts.
  int RestartRequests() const;
  /// Called whenever the program processes pending messages.
  void OnProcessMessages(std::function<void()> hook);
  /// The user's decimal separator; "," (a German Windows) to begin with.
  void SetDecimalSeparator(std::string separator);

  // --- programs ---
  /// Every start the program asked for, in order, including those that
  /// failed. A program on a simulated drive runs as the host program in its
  /// host file.
  const std::vector<StartedProcess>& StartedProcesses() const;

  // --- libraries ---
  /// The entry points of a simulated library: name -> address (nullptr when
  /// not exported).
  using EntryResolver = std::function<void*(std::string_view entry)>;
  /// Makes `windowsPath` (compared without regard to case; a bare file name
  /// is matched by the search order against the file name) loadable with
  /// these entry points. Loading any other path that names an existing file
  /// loads the host file (dlopen); everything else fails.
  void RegisterLibrary(std::string_view windowsPath, EntryResolver entries);
  /// Paths the program asked to load, in order.
  const std::vector<std::string>& LoadedLibraries() const;
  /// Number of libraries loaded and not yet unloaded.
  int OpenLibraryCount() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform::sim
