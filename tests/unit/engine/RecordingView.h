#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/InstallView.h"

namespace engine_test {

// The view and the phases write into one list, so a test sees their order.
using Events = std::vector<std::string>;

/// The events that start with `prefix`, without it.
inline std::vector<std::string> Matching(const Events& events, std::string_view prefix) {
  std::vector<std::string> found;
  for (const std::string& e : events) {
    if (e.starts_with(prefix))
      found.push_back(e.substr(prefix.size()));
  }
  return found;
}

/// The installation form of the tests. `onEvent` sees every event as it is
/// recorded: a test ends the run there as a user would at that moment.
class RecordingView : public engine::InstallView {
 public:
  explicit RecordingView(Events& events) : events_(events) {}

  std::function<void(const std::string& event)> onEvent;

  void SetStatus(std::string_view text) override { Record("status " + std::string(text)); }
  void SetDetail(std::string_view text) override { Record("detail " + std::string(text)); }
  void SetupBar(int max, int min, engine::BarDirection direction,
                engine::BarColorStyle style) override {
    Record("bar " + std::to_string(max) + " " + std::to_string(min) +
           (direction == engine::BarDirection::LeftToRight ? " ltr" : " rtl") +
           (style == engine::BarColorStyle::OneColor ? " 1" : " 2"));
  }
  void SetBarPosition(int position) override { Record("position " + std::to_string(position)); }
  void EnableAnimation(bool enabled) override {
    Record(enabled ? "animation on" : "animation off");
  }
  void RepaintForm() override { Record("repaint"); }

 private:
  void Record(std::string event) {
    events_.push_back(std::move(event));
    if (onEvent)
      onEvent(events_.back());
  }

  Events& events_;
};

}  // namespace engine_test
