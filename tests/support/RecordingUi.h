#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "core/DesignTexts.h"
#include "core/Ui.h"

namespace testing_support {

/// The windows as a test sees them: every control starts with its design
/// text, and every operation is recorded in order. A control the window's
/// design table does not list raises std::logic_error, as in the program.
class RecordingUi : public core::Ui {
 public:
  RecordingUi() {
    for (const core::DesignText& t : core::DesignTexts())
      texts_[{t.window, std::string(t.control)}] = t.text;
  }

  std::string Text(core::WindowId window, std::string_view control) override {
    core::RequireControl(window, control);
    auto it = texts_.find({window, std::string(control)});
    return it == texts_.end() ? std::string() : it->second;
  }
  void SetText(core::WindowId window, std::string_view control, std::string_view text) override {
    core::RequireControl(window, control);
    texts_[{window, std::string(control)}] = std::string(text);
    Record("SetText", window, std::string(control) + "=" + std::string(text));
  }
  void SetLines(core::WindowId window, std::string_view control,
                const std::vector<std::string>& lines) override {
    core::RequireControl(window, control);
    lines_[{window, std::string(control)}] = lines;
    Record("SetLines", window, std::string(control));
  }
  bool Checked(core::WindowId window, std::string_view control) override {
    core::RequireControl(window, control);
    return checked_.contains({window, std::string(control)});
  }
  void SetChecked(core::WindowId window, std::string_view control, bool checked) override {
    core::RequireControl(window, control);
    if (checked)
      checked_.insert({window, std::string(control)});
    else
      checked_.erase({window, std::string(control)});
    Record("SetChecked", window, std::string(control) + (checked ? "=1" : "=0"));
  }
  void SetEnabled(core::WindowId window, std::string_view control, bool enabled) override {
    core::RequireControl(window, control);
    if (enabled)
      disabled_.erase({window, std::string(control)});
    else
      disabled_.insert({window, std::string(control)});
    Record("SetEnabled", window, std::string(control) + (enabled ? "=1" : "=0"));
  }
  void SetPosition(core::WindowId window, std::string_view control, int position) override {
    core::RequireControl(window, control);
    Record("SetPosition", window, std::string(control) + "=" + std::to_string(position));
  }
  void Repaint(core::WindowId window) override { Record("Repaint", window, ""); }
  void Show(core::WindowId window) override { Record("Show", window, ""); }
  void Hide(core::WindowId window) override { Record("Hide", window, ""); }
  void Close(core::WindowId window) override { Record("Close", window, ""); }
  void CopyPicture(core::WindowId from, core::WindowId to) override {
    pictureSources_[to] = from;
    Record("CopyPicture", to, "");
  }
  void OpenTreePath(std::string_view path) override {
    treePaths_.emplace_back(path);
    Record("OpenTreePath", core::WindowId::Schritt4, std::string(path));
  }

  bool Enabled(core::WindowId window, std::string_view control) const {
    return !disabled_.contains({window, std::string(control)});
  }
  std::vector<std::string> Lines(core::WindowId window, std::string_view control) const {
    auto it = lines_.find({window, std::string(control)});
    return it == lines_.end() ? std::vector<std::string>() : it->second;
  }
  const std::map<core::WindowId, core::WindowId>& PictureSources() const { return pictureSources_; }
  const std::vector<std::string>& TreePaths() const { return treePaths_; }
  /// Every operation as "<operation> <window number> <detail>".
  const std::vector<std::string>& Log() const { return log_; }

 private:
  using Key = std::pair<core::WindowId, std::string>;

  void Record(const char* operation, core::WindowId window, const std::string& detail) {
    log_.push_back(std::string(operation) + " " + std::to_string(static_cast<int>(window)) + " " +
                   detail);
  }

  std::map<Key, std::string> texts_;
  std::map<Key, std::vector<std::string>> lines_;
  std::set<Key> checked_;
  std::set<Key> disabled_;
  std::map<core::WindowId, core::WindowId> pictureSources_;
  std::vector<std::string> treePaths_;
  std::vector<std::string> log_;
};

}  // namespace testing_support
