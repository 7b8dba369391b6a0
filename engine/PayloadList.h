#pragma once

#include <optional>
#include <string>

#include "core/IniReader.h"
#include "core/ProfileSnapshot.h"
#include "engine/RunContext.h"

namespace engine {

/// The payload list: which file of the payload goes where. It travels
/// scrambled in the payload archive and is unpacked into the work folder for
/// the run.
class PayloadList {
 public:
  explicit PayloadList(RunContext& run) : run_(run) {}

  /// Extracts the list into the work folder, unscrambles it in place and
  /// opens it. Raises EInstallError when it was not extracted.
  void Open();
  /// `FileCount` of the list, default 1, but no more than the list names.
  int FileCount() const;
  /// The destination of file `n`; empty when the list has none.
  std::string Destination(int n) const;
  /// The same through the section name the display icon is looked up by.
  std::string DisplayIconSource(int n) const;
  bool IsOpen() const { return reader_.has_value(); }
  void Close() {
    reader_.reset();
    snapshot_.reset();
  }
  /// Deletes the unpacked list from the work folder.
  void Delete();

 private:
  std::string Path() const;
  const core::IniReader& Reader() const;

  RunContext& run_;
  std::optional<core::ProfileSnapshot> snapshot_;
  std::optional<core::IniReader> reader_;
};

}  // namespace engine
