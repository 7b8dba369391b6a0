#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <utility>

#include "unpack/FileIo.h"

namespace unpack {
namespace {

class PosixInput final : public InputFile {
 public:
  PosixInput(int fd, uint64_t size, uint64_t lastWrite)
      : fd_(fd), size_(size), lastWrite_(lastWrite) {}
  ~PosixInput() override { ::close(fd_); }

  uint64_t Size() const override { return size_; }
  uint64_t LastWriteTime() const override { return lastWrite_; }

  std::optional<size_t> ReadAt(uint64_t offset, void* buffer, size_t size) override {
    size_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < size) {
      ssize_t n = ::pread(fd_, out + done, size - done, static_cast<off_t>(offset + done));
      if (n < 0) {
        if (errno == EINTR)
          continue;
        return std::nullopt;
      }
      if (n == 0)
        break;
      done += static_cast<size_t>(n);
    }
    return done;
  }

 private:
  int fd_;
  uint64_t size_;
  uint64_t lastWrite_;  // nanoseconds since 1970
};

class PosixOutput final : public OutputFile {
 public:
  PosixOutput(int fd, std::string temporary, std::string name, bool replace)
      : fd_(fd), temporary_(std::move(temporary)), name_(std::move(name)), replace_(replace) {}
  ~PosixOutput() override {
    Close();
    if (!temporary_.empty())
      ::unlink(temporary_.c_str());
  }

  bool Write(const void* data, size_t size) override {
    const auto* in = static_cast<const char*>(data);
    while (size > 0) {
      ssize_t n = ::write(fd_, in, size);
      if (n < 0) {
        if (errno == EINTR)
          continue;
        return false;
      }
      in += n;
      size -= static_cast<size_t>(n);
    }
    return true;
  }

  bool Close() override {
    if (fd_ < 0)
      return true;
    int rc = ::close(fd_);
    fd_ = -1;
    return rc == 0;
  }

  CreateResult Place() override {
    const std::string temporary = std::exchange(temporary_, {});
    // rename replaces a link itself, never what it leads to. Without
    // replacing, a second name appears only while the name is free, and the
    // temporary one goes either way.
    if (replace_) {
      if (::rename(temporary.c_str(), name_.c_str()) == 0)
        return CreateResult::Created;
      ::unlink(temporary.c_str());
      return CreateResult::Failed;
    }
    // One step where the file system can rename without replacing; else a
    // second name and the temporary one removed.
    if (::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, name_.c_str(), RENAME_NOREPLACE) == 0)
      return CreateResult::Created;
    int error = errno;
    bool placed = false;
    if (error == EINVAL || error == ENOSYS) {
      placed = ::link(temporary.c_str(), name_.c_str()) == 0;
      error = errno;
    }
    ::unlink(temporary.c_str());
    if (placed)
      return CreateResult::Created;
    return error == EEXIST ? CreateResult::Exists : CreateResult::Failed;
  }

 private:
  int fd_;
  std::string temporary_;  // empty once placed
  std::string name_;
  bool replace_;
};

}  // namespace

std::unique_ptr<InputFile> InputFile::Open(const std::string& path) {
  // Opening a FIFO or a device can wait for a writer or a medium that never
  // comes: the open does not wait, and anything but a regular file is refused
  // before the first read.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0)
    return nullptr;
  struct stat st {};
  const int flags = ::fcntl(fd, F_GETFL);
  // The reads of a regular file wait as usual.
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flags < 0 ||
      ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    ::close(fd);
    return nullptr;
  }
  const uint64_t lastWrite = static_cast<uint64_t>(st.st_mtim.tv_sec) * 1000000000u +
                             static_cast<uint64_t>(st.st_mtim.tv_nsec);
  return std::make_unique<PosixInput>(fd, static_cast<uint64_t>(st.st_size), lastWrite);
}

std::unique_ptr<OutputFile> OutputFile::Create(const std::string& name, bool replace,
                                               CreateResult& result) {
  struct stat st {};
  if (::lstat(name.c_str(), &st) == 0) {
    if (!replace || !(S_ISREG(st.st_mode) || S_ISLNK(st.st_mode))) {
      result = CreateResult::Exists;
      return nullptr;
    }
  } else if (errno != ENOENT) {
    result = CreateResult::Failed;
    return nullptr;
  }
  static std::atomic<uint32_t> counter{0};
  for (int tries = 0; tries < kTemporaryNameTries; ++tries) {
    std::string temporary = TemporaryName(static_cast<unsigned long>(::getpid()), counter++);
    // O_EXCL refuses an existing name, links included.
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd >= 0) {
      result = CreateResult::Created;
      return std::make_unique<PosixOutput>(fd, std::move(temporary), name, replace);
    }
    if (errno != EEXIST)
      break;
  }
  result = CreateResult::Failed;
  return nullptr;
}

}  // namespace unpack
