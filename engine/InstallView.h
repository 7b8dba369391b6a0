#pragma once

#include <string_view>

namespace engine {

enum class BarDirection { LeftToRight, RightToLeft };
enum class BarColorStyle { OneColor, TwoColors };

/// What the installation run shows, through the installation form. Every
/// change is painted at once: the run does not return to the message loop.
class InstallView {
 public:
  virtual ~InstallView() = default;

  /// The status line (Label2); the empty text clears it.
  virtual void SetStatus(std::string_view text) = 0;
  /// The detail line (Label5); the empty text clears it.
  virtual void SetDetail(std::string_view text) = 0;
  /// Sets the progress bar's range, direction and colours.
  virtual void SetupBar(int max, int min, BarDirection direction, BarColorStyle style) = 0;
  /// Sets the bar's position and paints it.
  virtual void SetBarPosition(int position) = 0;
  /// Starts or stops the idle sweep of the bar.
  virtual void EnableAnimation(bool enabled) = 0;
  /// Paints the whole form.
  virtual void RepaintForm() = 0;
  /// Shows the trimmed target directory where the pages showed the typed one.
  virtual void ShowTargetDirectory(std::string_view dir) = 0;
  /// Hides the installation form and shows the restart page or the finish page.
  virtual void ShowCompletion(bool restartPage) = 0;
};

}  // namespace engine
