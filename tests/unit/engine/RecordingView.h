#pragma once

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

class RecordingView : public engine::InstallView {
 public:
  explicit RecordingView(Events& events) : events_(events) {}
  void SetStatus(std::string_view text) override {
    events_.push_back("status " + std::string(text));
  }
  void SetDetail(std::string_view text) override {
    events_.push_back("detail " + std::string(text));
  }
  void SetupBar(int max, int min, engine::BarDirection direction,
                engine::BarColorStyle style) override {
    events_.push_back("bar " + std::to_string(max) + " " + std::to_string(min) +
                      (direction == engine::BarDirection::LeftToRight ? " ltr" : " rtl") +
                      (style == engine::BarColorStyle::OneColor ? " 1" : " 2"));
  }
  void SetBarPosition(int position) override {
    events_.push_back("position " + std::to_string(position));
  }
  void EnableAnimation(bool enabled) override {
    events_.push_back(enabled ? "animation on" : "animation off");
  }
  void RepaintForm() override { events_.push_back("repaint"); }
  void ShowTargetDirectory(std::string_view dir) override {
    events_.push_back("target " + std::string(dir));
  }
  void ShowCompletion(bool restartPage) override {
    events_.push_back(restartPage ? "show restart page" : "show finish page");
  }

 private:
  Events& events_;
};

}  // namespace engine_test
