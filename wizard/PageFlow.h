#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <tuple>

#include "core/SetupState.h"
#include "core/Ui.h"
#include "platform/Platform.h"

namespace wizard {

/// What the seven wizard pages do: one handler per page event. The pages only
/// show and forward; this decides which page follows, builds the target path
/// of page 4 (or proposes the installed product's folder), keeps page 6's program folder and check
/// box in step, fills the summary of page 7 and takes the entered values into SetupState when a
/// page is left forward.
class PageFlow : public core::UiEvents {
 public:
  PageFlow(core::Ui& ui, core::SetupState& state, platform::Platform& platform);
  PageFlow(const PageFlow&) = delete;
  PageFlow& operator=(const PageFlow&) = delete;

  /// Runs the handler of the event; an event without one changes nothing.
  void OnEvent(core::WindowId window, std::string_view control, core::UiEvent event) override;

 private:
  using Key = std::tuple<core::WindowId, std::string, core::UiEvent>;

  void On(core::WindowId window, std::string_view control, core::UiEvent event,
          std::function<void()> handler);
  void Forward(core::WindowId page);
  /// Whether Uninstall.inf can hold `path`; tells the user when not.
  bool Recordable(std::string_view what, std::string_view path);
  /// Whether the user wants the installed product removed for `target`, a
  /// folder other than its own; true when there is nothing to remove.
  bool ConfirmOtherFolder(std::string_view target);
  void Back(core::WindowId page);
  void Cancel();
  void BuildTargetPath();
  void NoShortcutsClicked();
  void LeaveProgramFolderPage();
  void FillSummary();

  core::Ui& ui_;
  core::SetupState& state_;
  platform::Platform& platform_;
  std::map<Key, std::function<void()>> handlers_;
  // Page 6's folder name while "Keine Verknüpfungen" is ticked.
  std::string rememberedFolder_;
  // Page 4 shows the installed product's folder until the user chooses in
  // the tree or types.
  bool proposeInstalled_ = true;
};

}  // namespace wizard
