#pragma once

#include <string_view>

namespace uninstall {

/// The progress window of the removal, as the logic sees it. Every change is
/// painted at once: the removal does not return to the message loop.
class RemovalView {
 public:
  virtual ~RemovalView() = default;

  /// Shows the window with `caption` and a bar that counts `steps` items.
  virtual void Open(std::string_view caption, int steps) = 0;
  /// The status line: what is being removed now.
  virtual void SetStatus(std::string_view text) = 0;
  /// The number of items done so far.
  virtual void SetProgress(int done) = 0;
  /// Hides the window again once the removal is over.
  virtual void Finish() = 0;
};

}  // namespace uninstall
