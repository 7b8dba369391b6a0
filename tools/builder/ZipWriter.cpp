#include "tools/builder/ZipWriter.h"

#include <zip.h>

#include "tools/builder/BuildError.h"

namespace builder {

ZipWriter::ZipWriter(const std::filesystem::path& path) : path_(path) {
  int code = 0;
  archive_ = zip_open(path.c_str(), ZIP_CREATE | ZIP_EXCL, &code);
  if (archive_ == nullptr) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    const std::string reason = zip_error_strerror(&error);
    zip_error_fini(&error);
    throw BuildError("Das Archiv " + path.string() + " kann nicht angelegt werden: " + reason);
  }
}

ZipWriter::~ZipWriter() {
  if (archive_ != nullptr)
    zip_discard(archive_);
}

void ZipWriter::AddFile(std::string_view name, const std::filesystem::path& source,
                        std::optional<std::time_t> time) {
  zip_source_t* data = zip_source_file(archive_, source.c_str(), 0, -1);
  if (data == nullptr)
    Fail("Die Datei " + source.string() + " kann nicht aufgenommen werden");
  const uint64_t entry = Add(name, data);
  if (time && zip_file_set_mtime(archive_, entry, *time, 0) != 0)
    Fail("Das Datum von " + std::string(name) + " kann nicht gesetzt werden");
}

void ZipWriter::AddBytes(std::string_view name, std::string bytes, std::time_t time) {
  const std::string& kept = buffers_.emplace_back(std::move(bytes));
  zip_source_t* data = zip_source_buffer(archive_, kept.data(), kept.size(), 0);
  if (data == nullptr)
    Fail("Der Eintrag " + std::string(name) + " kann nicht aufgenommen werden");
  if (zip_file_set_mtime(archive_, Add(name, data), time, 0) != 0)
    Fail("Das Datum von " + std::string(name) + " kann nicht gesetzt werden");
}

void ZipWriter::Close() {
  if (zip_close(archive_) != 0)
    Fail("Das Archiv kann nicht geschrieben werden");
  archive_ = nullptr;
  buffers_.clear();
}

uint64_t ZipWriter::Add(std::string_view name, zip_source_t* source) {
  const zip_int64_t index =
      zip_file_add(archive_, std::string(name).c_str(), source, ZIP_FL_ENC_UTF_8);
  if (index < 0) {
    zip_source_free(source);
    Fail("Der Eintrag " + std::string(name) + " kann nicht aufgenommen werden");
  }
  const auto entry = static_cast<zip_uint64_t>(index);
  if (zip_set_file_compression(archive_, entry, ZIP_CM_DEFLATE, 9) != 0)
    Fail("Der Eintrag " + std::string(name) + " kann nicht komprimiert werden");
  return entry;
}

void ZipWriter::Fail(std::string_view what) {
  throw BuildError(std::string(what) + " (" + path_.filename().string() +
                   "): " + zip_strerror(archive_));
}

}  // namespace builder
