#pragma once

#include "engine/RunContext.h"

namespace engine {

/// Joins a payload split over several installation media into one archive
/// in the work folder, asking the user for each medium in turn.
class MediaJoin {
 public:
  explicit MediaJoin(RunContext& run) : run_(run) {}

  /// Joins the parts and points the archive directory at the work folder.
  /// Returns false when the program is to end: a medium could not be found
  /// or read (the user has been told), or the stop was requested meanwhile
  /// (the joined archive made so far is gone). Raises EInstallError when the
  /// joined archive cannot be created.
  bool Join();
  /// Deletes the joined archive after the extraction; a payload beside the
  /// program is never deleted.
  void DeleteJoinedArchive();

 private:
  bool Joined() const;
  std::string JoinedArchive() const;
  /// Tells the user that a medium is missing or broken; the program ends.
  bool Stop(std::string_view caption, std::string_view text);
  /// After the user ended the program during a question: removes the
  /// joined archive made so far.
  bool Abandon();

  RunContext& run_;
};

}  // namespace engine
