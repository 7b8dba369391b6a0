#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <utility>

#include "unpack/FileIo.h"

namespace unpack {
namespace {

// Names arrive as UTF-8; the W functions take UTF-16.
std::wstring Widen(const std::string& utf8) {
  if (utf8.empty())
    return {};
  int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                              static_cast<int>(utf8.size()), nullptr, 0);
  if (n <= 0)
    return {};
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                      wide.data(), n);
  return wide;
}

class Win32Input final : public InputFile {
 public:
  Win32Input(HANDLE handle, uint64_t size, uint64_t lastWrite)
      : handle_(handle), size_(size), lastWrite_(lastWrite) {}
  ~Win32Input() override { CloseHandle(handle_); }

  uint64_t Size() const override { return size_; }
  uint64_t LastWriteTime() const override { return lastWrite_; }

  std::optional<size_t> ReadAt(uint64_t offset, void* buffer, size_t size) override {
    size_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < size) {
      OVERLAPPED at{};
      uint64_t pos = offset + done;
      at.Offset = static_cast<DWORD>(pos);
      at.OffsetHigh = static_cast<DWORD>(pos >> 32);
      DWORD want = static_cast<DWORD>(std::min<size_t>(size - done, 1u << 30));
      DWORD got = 0;
      if (!ReadFile(handle_, out + done, want, &got, &at)) {
        if (GetLastError() == ERROR_HANDLE_EOF)
          break;
        return std::nullopt;
      }
      if (got == 0)
        break;
      done += got;
    }
    return done;
  }

 private:
  HANDLE handle_;
  uint64_t size_;
  uint64_t lastWrite_;  // 100-nanosecond steps since 1601
};

class Win32Output final : public OutputFile {
 public:
  Win32Output(HANDLE handle, std::wstring temporary, std::wstring name, bool replace)
      : handle_(handle),
        temporary_(std::move(temporary)),
        name_(std::move(name)),
        replace_(replace) {}
  ~Win32Output() override {
    Close();
    if (!temporary_.empty())
      DeleteFileW(temporary_.c_str());
  }

  bool Write(const void* data, size_t size) override {
    const auto* in = static_cast<const char*>(data);
    while (size > 0) {
      DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
      DWORD written = 0;
      if (!WriteFile(handle_, in, chunk, &written, nullptr) || written == 0)
        return false;
      in += written;
      size -= written;
    }
    return true;
  }

  bool Close() override {
    if (handle_ == INVALID_HANDLE_VALUE)
      return true;
    BOOL ok = CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return ok != FALSE;
  }

  CreateResult Place() override {
    const std::wstring temporary = std::exchange(temporary_, {});
    // Moving replaces a link of the name itself, never what it leads to;
    // without MOVEFILE_REPLACE_EXISTING a name taken meanwhile stays as it is.
    if (MoveFileExW(temporary.c_str(), name_.c_str(), replace_ ? MOVEFILE_REPLACE_EXISTING : 0))
      return CreateResult::Created;
    const DWORD error = GetLastError();
    DeleteFileW(temporary.c_str());
    if (!replace_ && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS))
      return CreateResult::Exists;
    return CreateResult::Failed;
  }

 private:
  HANDLE handle_;
  std::wstring temporary_;  // empty once placed
  std::wstring name_;
  bool replace_;
};

}  // namespace

std::unique_ptr<InputFile> InputFile::Open(const std::string& path) {
  std::wstring wide = Widen(path);
  if (wide.empty())
    return nullptr;
  HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE)
    return nullptr;
  LARGE_INTEGER size{};
  FILETIME written{};
  if (!GetFileSizeEx(h, &size) || !GetFileTime(h, nullptr, nullptr, &written)) {
    CloseHandle(h);
    return nullptr;
  }
  const uint64_t lastWrite = (uint64_t{written.dwHighDateTime} << 32) | written.dwLowDateTime;
  return std::make_unique<Win32Input>(h, static_cast<uint64_t>(size.QuadPart), lastWrite);
}

std::unique_ptr<OutputFile> OutputFile::Create(const std::string& name, bool replace,
                                               CreateResult& result) {
  result = CreateResult::Failed;
  std::wstring wide = Widen(name);
  if (wide.empty())
    return nullptr;
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (!replace || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      result = CreateResult::Exists;
      return nullptr;
    }
  } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
    return nullptr;
  }
  static std::atomic<uint32_t> counter{0};
  for (int tries = 0; tries < kTemporaryNameTries; ++tries) {
    std::wstring temporary = Widen(TemporaryName(GetCurrentProcessId(), counter++));
    // CREATE_NEW never touches an existing file or whatever a reparse point
    // leads to.
    HANDLE h = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      result = CreateResult::Created;
      return std::make_unique<Win32Output>(h, std::move(temporary), std::move(wide), replace);
    }
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
      break;
  }
  return nullptr;
}

}  // namespace unpack
