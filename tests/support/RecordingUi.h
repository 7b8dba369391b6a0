#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "app/DesignTexts.h"
#include "app/Ui.h"

namespace testing_support {

/// The windows as a test sees them: every control starts with its design
/// text, and every operation is recorded in order.
class RecordingUi : public app::Ui {
 public:
  RecordingUi() {
    for (const app::DesignText& t : app::DesignTexts())
      texts_[{t.window, std::string(t.control)}] = t.text;
  }

  std::string Text(app::WindowId window, std::string_view control) override {
    auto it = texts_.find({window, std::string(control)});
    return it == texts_.end() ? std::string() : it->second;
  }
  void SetText(app::WindowId window, std::string_view control, std::string_view text) override {
    texts_[{window, std::string(control)}] = std::string(text);
    Record("SetText", window, std::string(control) + "=" + std::string(text));
  }
  void SetLines(app::WindowId window, std::string_view control,
                const std::vector<std::string>& lines) override {
    lines_[{window, std::string(control)}] = lines;
    Record("SetLines", window, std::string(control));
  }
  void SetPosition(app::WindowId window, std::string_view control, int position) override {
    Record("SetPosition", window, std::string(control) + "=" + std::to_string(position));
  }
  void Repaint(app::WindowId window) override { Record("Repaint", window, ""); }
  void Show(app::WindowId window) override { Record("Show", window, ""); }
  void Hide(app::WindowId window) override { Record("Hide", window, ""); }
  void Close(app::WindowId window) override { Record("Close", window, ""); }
  void CopyPicture(app::WindowId from, app::WindowId to) override {
    pictureSources_[to] = from;
    Record("CopyPicture", to, "");
  }
  void OpenTreePath(std::string_view path) override {
    treePaths_.emplace_back(path);
    Record("OpenTreePath", app::WindowId::Schritt4, std::string(path));
  }

  std::vector<std::string> Lines(app::WindowId window, std::string_view control) const {
    auto it = lines_.find({window, std::string(control)});
    return it == lines_.end() ? std::vector<std::string>() : it->second;
  }
  const std::map<app::WindowId, app::WindowId>& PictureSources() const { return pictureSources_; }
  const std::vector<std::string>& TreePaths() const { return treePaths_; }
  /// Every operation as "<operation> <window number> <detail>".
  const std::vector<std::string>& Log() const { return log_; }

 private:
  using Key = std::pair<app::WindowId, std::string>;

  void Record(const char* operation, app::WindowId window, const std::string& detail) {
    log_.push_back(std::string(operation) + " " + std::to_string(static_cast<int>(window)) + " " +
                   detail);
  }

  std::map<Key, std::string> texts_;
  std::map<Key, std::vector<std::string>> lines_;
  std::map<app::WindowId, app::WindowId> pictureSources_;
  std::vector<std::string> treePaths_;
  std::vector<std::string> log_;
};

}  // namespace testing_support
