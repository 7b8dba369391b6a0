#pragma once

#include <string_view>

namespace engine {

enum class BarDirection { LeftToRight, RightToLeft };
enum class BarColorStyle { OneColor, TwoColors };

/// What the installation run shows through the installation form. The run
/// may call it from its own thread; an implementation that paints takes the
/// calls over to the GUI thread.
class InstallView {
 public:
  virtual ~InstallView() = default;

  /// The status line (Label2); the empty text clears it.
  virtual void SetStatus(std::string_view text) = 0;
  /// The detail line (Label5); the empty text clears it.
  virtual void SetDetail(std::string_view text) = 0;
  /// Both lines, which belong together: a view that paints later never
  /// shows the new status beside the old detail.
  virtual void ShowStatus(std::string_view status, std::string_view detail) {
    SetStatus(status);
    SetDetail(detail);
  }
  /// Sets the progress bar's range, direction and colours.
  virtual void SetupBar(int max, int min, BarDirection direction, BarColorStyle style) = 0;
  /// Sets the bar's position and paints it.
  virtual void SetBarPosition(int position) = 0;
  /// Starts or stops the idle sweep of the bar.
  virtual void EnableAnimation(bool enabled) = 0;
  /// Paints the whole form.
  virtual void RepaintForm() = 0;
};

}  // namespace engine
