#include "platform/win32/WinApi.h"

#include "platform/win32/Utf16.h"
#include "platform/win32/Win32Files.h"

#include <sddl.h>

#include <algorithm>
#include <vector>

namespace platform::win32 {

namespace {

// Handles this code owns are closed when they go out of scope.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (valid())
      CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// Reads and writes go in pieces that fit a DWORD.
constexpr size_t kChunk = 1u << 30;

HANDLE OpenForReading(std::string_view path) {
  return CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

HANDLE OpenForWriting(std::string_view path) {
  return CreateFileW(Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool WriteAll(HANDLE file, const void* data, size_t size) {
  const auto* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const DWORD piece = static_cast<DWORD>(std::min(size, kChunk));
    DWORD written = 0;
    if (!::WriteFile(file, bytes, piece, &written, nullptr) || written == 0)
      return false;
    bytes += written;
    size -= written;
  }
  return true;
}

// The space of the drive of `root`. An empty floppy or CD drive would
// otherwise ask the user to insert a medium; the mode is the calling
// thread's, as the installation run asks from a thread of its own.
bool DiskSpace(std::string_view root, ULARGE_INTEGER* available, ULARGE_INTEGER* total) {
  DWORD previous = 0;
  SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous);
  const BOOL ok = GetDiskFreeSpaceExW(Widen(root).c_str(), available, total, nullptr);
  SetThreadErrorMode(previous, nullptr);
  return ok != FALSE;
}

// A W call that fills a buffer of a given size and answers the length it
// needs when the buffer is too small.
template <typename Call>
std::string GrowingBuffer(Call call) {
  std::wstring buffer(MAX_PATH, L'\0');
  while (true) {
    const DWORD length = call(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length == 0)
      return {};
    if (length < buffer.size()) {
      buffer.resize(length);
      return Narrow(buffer);
    }
    buffer.resize(length);
  }
}

class Win32ReadStream : public ReadStream {
 public:
  explicit Win32ReadStream(HANDLE file) : file_(file) {}

  uint64_t Size() override {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file_.get(), &size))
      return 0;
    return static_cast<uint64_t>(size.QuadPart);
  }

  std::optional<size_t> ReadAt(uint64_t offset, void* buffer, size_t size) override {
    auto* bytes = static_cast<char*>(buffer);
    size_t total = 0;
    while (total < size) {
      OVERLAPPED at{};
      const uint64_t position = offset + total;
      at.Offset = static_cast<DWORD>(position);
      at.OffsetHigh = static_cast<DWORD>(position >> 32);
      const DWORD piece = static_cast<DWORD>(std::min(size - total, kChunk));
      DWORD read = 0;
      if (!::ReadFile(file_.get(), bytes + total, piece, &read, &at)) {
        if (GetLastError() == ERROR_HANDLE_EOF)
          break;
        return std::nullopt;
      }
      if (read == 0)
        break;
      total += read;
    }
    return total;
  }

 private:
  Handle file_;
};

class Win32WriteStream : public WriteStream {
 public:
  explicit Win32WriteStream(HANDLE file) : file_(file) {}

  bool Write(const void* data, size_t size) override { return WriteAll(file_.get(), data, size); }

 private:
  Handle file_;
};

}  // namespace

bool Win32Files::FileExists(std::string_view path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32Files::DirectoryExists(std::string_view path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32Files::CreateDirectory(std::string_view path) {
  return CreateDirectoryW(Widen(path).c_str(), nullptr) != 0;
}

bool Win32Files::CreatePrivateDirectory(std::string_view path) {
  // The running user's SID, for the third entry of the access list.
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
    return false;
  DWORD size = 0;
  GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<BYTE> user(size);
  const BOOL gotUser = size > 0 && GetTokenInformation(token, TokenUser, user.data(), size, &size);
  CloseHandle(token);
  LPWSTR userSid = nullptr;
  if (!gotUser ||
      !ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &userSid)) {
    return false;
  }
  // "P": protected, nothing inherited from the parent (the Temp folder lets
  // every user create files in its subfolders). Full access for the
  // administrators, the system and the running user, passed on to
  // everything made inside.
  const std::wstring sddl =
      std::wstring(L"D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;FA;;;") + userSid + L")";
  LocalFree(userSid);
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                            &descriptor, nullptr)) {
    return false;
  }
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
  const BOOL created = CreateDirectoryW(Widen(path).c_str(), &attributes);
  LocalFree(descriptor);
  return created != 0;
}

bool Win32Files::RemoveDirectory(std::string_view path) {
  return RemoveDirectoryW(Widen(path).c_str()) != 0;
}

bool Win32Files::CopyFile(std::string_view from, std::string_view to, bool failIfExists) {
  return CopyFileW(Widen(from).c_str(), Widen(to).c_str(), failIfExists) != 0;
}

bool Win32Files::MoveFile(std::string_view from, std::string_view to, bool replace) {
  const DWORD flags = MOVEFILE_COPY_ALLOWED | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
  return MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), flags) != 0;
}

bool Win32Files::DeleteFile(std::string_view path) {
  return DeleteFileW(Widen(path).c_str()) != 0;
}

bool Win32Files::DeleteAtRestart(std::string_view path) {
  // MoveFileEx does not look at the file when it only records the delayed
  // deletion, so a missing file is caught here.
  const std::wstring wide = Widen(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return false;
  return MoveFileExW(wide.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
}

std::optional<std::string> Win32Files::ReadFile(std::string_view path) {
  const HANDLE handle = OpenForReading(path);
  if (handle == INVALID_HANDLE_VALUE)
    return std::nullopt;
  Win32ReadStream file(handle);
  const uint64_t size = file.Size();
  if (size != static_cast<size_t>(size))
    return std::nullopt;
  std::string content(static_cast<size_t>(size), '\0');
  const std::optional<size_t> read = file.ReadAt(0, content.data(), content.size());
  if (!read)
    return std::nullopt;
  content.resize(*read);
  return content;
}

bool Win32Files::WriteFile(std::string_view path, std::string_view content) {
  const Handle file(OpenForWriting(path));
  return file.valid() && WriteAll(file.get(), content.data(), content.size());
}

std::unique_ptr<ReadStream> Win32Files::OpenRead(std::string_view path) {
  const HANDLE file = OpenForReading(path);
  if (file == INVALID_HANDLE_VALUE)
    return nullptr;
  return std::make_unique<Win32ReadStream>(file);
}

std::unique_ptr<WriteStream> Win32Files::OpenWrite(std::string_view path) {
  const HANDLE file = OpenForWriting(path);
  if (file == INVALID_HANDLE_VALUE)
    return nullptr;
  return std::make_unique<Win32WriteStream>(file);
}

std::optional<uint32_t> Win32Files::Attributes(std::string_view path) {
  const DWORD attributes = GetFileAttributesW(Widen(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return std::nullopt;
  return attributes;
}

std::vector<DirEntry> Win32Files::ListDirectory(std::string_view path) {
  std::vector<DirEntry> entries;
  std::string pattern(path);
  if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/')
    pattern += '\\';
  pattern += '*';
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW(Widen(pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return entries;
  do {
    const std::wstring_view name = found.cFileName;
    if (name == L"." || name == L"..")
      continue;
    entries.push_back(DirEntry{Narrow(name), found.dwFileAttributes});
  } while (FindNextFileW(search, &found));
  FindClose(search);
  return entries;
}

std::string Win32Files::CurrentDirectory() {
  return GrowingBuffer(
      [](DWORD size, wchar_t* buffer) { return GetCurrentDirectoryW(size, buffer); });
}

bool Win32Files::SetCurrentDirectory(std::string_view path) {
  return SetCurrentDirectoryW(Widen(path).c_str()) != 0;
}

std::string Win32Files::WindowsDirectory() {
  std::wstring buffer(1024, L'\0');
  const UINT length = GetWindowsDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
  buffer.resize(length < buffer.size() ? length : 0);
  return Narrow(buffer);
}

std::string Win32Files::TempDirectory() {
  return GrowingBuffer([](DWORD size, wchar_t* buffer) { return GetTempPathW(size, buffer); });
}

std::string Win32Files::FullPath(std::string_view path) {
  const std::wstring wide = Widen(path);
  return GrowingBuffer([&wide](DWORD size, wchar_t* buffer) {
    return GetFullPathNameW(wide.c_str(), size, buffer, nullptr);
  });
}

uint32_t Win32Files::LogicalDrives() {
  return GetLogicalDrives();
}

DriveType Win32Files::GetDriveType(std::string_view root) {
  return static_cast<DriveType>(GetDriveTypeW(Widen(root).c_str()));
}

std::optional<VolumeInfo> Win32Files::VolumeInformation(std::string_view root) {
  wchar_t label[MAX_PATH + 1] = {};
  DWORD serial = 0;
  if (!GetVolumeInformationW(Widen(root).c_str(), label, MAX_PATH + 1, &serial, nullptr, nullptr,
                             nullptr, 0)) {
    return std::nullopt;
  }
  return VolumeInfo{Narrow(label), serial};
}

std::optional<uint64_t> Win32Files::DiskSize(std::string_view root) {
  ULARGE_INTEGER total = {};
  if (!DiskSpace(root, nullptr, &total))
    return std::nullopt;
  return total.QuadPart;
}

std::optional<uint64_t> Win32Files::FreeSpace(std::string_view root) {
  ULARGE_INTEGER available = {};
  if (!DiskSpace(root, &available, nullptr))
    return std::nullopt;
  return available.QuadPart;
}

}  // namespace platform::win32
