#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "engine/InstallView.h"

namespace engine {

/// The installation form as the run's thread sees it. Every call stores
/// what is to be shown and, when nothing was waiting yet, wakes the GUI
/// thread once; the GUI thread takes what changed and paints it. What
/// changes faster than the GUI thread takes it is coalesced: the last text
/// of each line and the last bar values are always shown, so the window
/// costs the run almost nothing however many files it places.
class SharedProgress : public InstallView {
 public:
  struct Bar {
    int max = 0;
    int min = 0;
    BarDirection direction = BarDirection::LeftToRight;
    BarColorStyle style = BarColorStyle::TwoColors;
  };
  /// What changed since the GUI thread last took it; to be applied in this
  /// order: bar set-up, animation, position, texts.
  struct Changes {
    std::optional<Bar> bar;
    std::optional<bool> animation;
    std::optional<int> position;
    std::optional<std::string> status;
    std::optional<std::string> detail;
    bool repaintForm = false;
  };

  /// `wake` is called on the run's thread when a change arrives while none
  /// was waiting.
  explicit SharedProgress(std::function<void()> wake) : wake_(std::move(wake)) {}

  void SetStatus(std::string_view text) override;
  void SetDetail(std::string_view text) override;
  void ShowStatus(std::string_view status, std::string_view detail) override;
  void SetupBar(int max, int min, BarDirection direction, BarColorStyle style) override;
  void SetBarPosition(int position) override;
  void EnableAnimation(bool enabled) override;
  void RepaintForm() override;

  /// On the GUI thread: what changed, taken away.
  Changes Take();

 private:
  template <typename Change>
  void Store(Change change);

  std::function<void()> wake_;
  std::mutex mutex_;
  Changes pending_;
  bool waiting_ = false;
};

}  // namespace engine
