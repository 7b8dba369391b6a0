#include "engine/SharedProgress.h"

#include <utility>

namespace engine {

template <typename Change>
void SharedProgress::Store(Change change) {
  bool wake = false;
  {
    const std::lock_guard lock(mutex_);
    change(pending_);
    wake = !waiting_;
    waiting_ = true;
  }
  if (wake && wake_)
    wake_();
}

void SharedProgress::SetStatus(std::string_view text) {
  Store([&](Changes& c) { c.status = std::string(text); });
}

void SharedProgress::SetDetail(std::string_view text) {
  Store([&](Changes& c) { c.detail = std::string(text); });
}

void SharedProgress::ShowStatus(std::string_view status, std::string_view detail) {
  Store([&](Changes& c) {
    c.status = std::string(status);
    c.detail = std::string(detail);
  });
}

void SharedProgress::SetupBar(int max, int min, BarDirection direction, BarColorStyle style) {
  // A position set before the new range would otherwise be applied after it.
  Store([&](Changes& c) {
    c.bar = Bar{max, min, direction, style};
    c.position.reset();
  });
}

void SharedProgress::SetBarPosition(int position) {
  Store([&](Changes& c) { c.position = position; });
}

void SharedProgress::EnableAnimation(bool enabled) {
  Store([&](Changes& c) { c.animation = enabled; });
}

void SharedProgress::RepaintForm() {
  Store([](Changes& c) { c.repaintForm = true; });
}

SharedProgress::Changes SharedProgress::Take() {
  const std::lock_guard lock(mutex_);
  waiting_ = false;
  return std::exchange(pending_, {});
}

}  // namespace engine
