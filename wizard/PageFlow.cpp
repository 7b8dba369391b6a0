#include "wizard/PageFlow.h"

#include "core/RecordFiles.h"
#include "core/Versions.h"
#include "wizard/CancelQuestion.h"
#include "wizard/Navigation.h"
#include "wizard/TargetPath.h"

namespace wizard {

using core::UiEvent;
using core::WindowId;

namespace {

constexpr WindowId kPages[] = {WindowId::Schritt1, WindowId::Schritt2, WindowId::Schritt3,
                               WindowId::Schritt4, WindowId::Schritt5, WindowId::Schritt6,
                               WindowId::Schritt7};

// What the summary says of the installed product: that it is updated in its
// folder, or removed from another one first; empty when none is installed.
std::string InstalledLine(const core::SetupState& state, std::string_view target) {
  if (!state.Installed)
    return {};
  const core::InstalledProduct& installed = *state.Installed;
  const std::string old = installed.Version.empty()
                              ? std::string("Die bisherige Installation")
                              : "Die installierte Version " + installed.Version;
  if (!core::SameFolder(installed.Dir, target)) {
    return installed.Recorded ? old + " in \"" + installed.Dir + "\" wird zuvor entfernt."
                              : std::string();
  }
  const std::optional<int> order = core::CompareVersions(state.Version, installed.Version);
  if (order && *order == 0)
    return old + " wird erneut installiert.";
  if (order && *order < 0)
    return old + " wird durch die ältere Version " + state.Version + " ersetzt.";
  return old + " wird auf " +
         (state.Version.empty() ? "diese Version" : "Version " + state.Version) + " aktualisiert.";
}

}  // namespace

PageFlow::PageFlow(core::Ui& ui, core::SetupState& state, platform::Platform& platform)
    : ui_(ui), state_(state), platform_(platform) {
  for (WindowId page : kPages) {
    // On page 2 the cancel button is "&Ablehnen": declining asks the same
    // question.
    On(page, "Button1", UiEvent::Click, [this] { Cancel(); });
    On(page, "", UiEvent::Close, [this] { Cancel(); });
    if (page != WindowId::Schritt6)
      On(page, "Button2", UiEvent::Click, [this, page] { Forward(page); });
    if (page != WindowId::Schritt1)
      On(page, "Button4", UiEvent::Click, [this, page] { Back(page); });
  }

  On(WindowId::Schritt4, "", UiEvent::Show, [this] {
    // The installed product's folder stands until the user chooses another.
    if (state_.Installed && proposeInstalled_)
      ui_.SetText(WindowId::Schritt4, "Edit1", state_.Installed->Dir);
    else
      BuildTargetPath();
  });
  const auto chosenInTree = [this] {
    proposeInstalled_ = false;
    BuildTargetPath();
  };
  On(WindowId::Schritt4, "DirTree1", UiEvent::MouseUp, chosenInTree);
  On(WindowId::Schritt4, "DirTree1", UiEvent::KeyUp, chosenInTree);
  On(WindowId::Schritt4, "Edit1", UiEvent::KeyUp, [this] {
    proposeInstalled_ = false;
    ui_.OpenTreePath(ui_.Text(WindowId::Schritt4, "Edit1"));
  });

  On(WindowId::Schritt6, "ListBox1", UiEvent::Click, [this] {
    const std::string entry = ui_.Text(WindowId::Schritt6, "ListBox1");
    if (!entry.empty())
      ui_.SetText(WindowId::Schritt6, "Edit1", entry);
  });
  On(WindowId::Schritt6, "CheckBox1", UiEvent::Click, [this] { NoShortcutsClicked(); });
  On(WindowId::Schritt6, "Button2", UiEvent::Click, [this] {
    LeaveProgramFolderPage();
    Forward(WindowId::Schritt6);
  });

  On(WindowId::Schritt7, "", UiEvent::Show, [this] { FillSummary(); });
}

void PageFlow::On(WindowId window, std::string_view control, UiEvent event,
                  std::function<void()> handler) {
  handlers_[{window, std::string(control), event}] = std::move(handler);
}

void PageFlow::OnEvent(WindowId window, std::string_view control, UiEvent event) {
  auto it = handlers_.find({window, std::string(control), event});
  if (it != handlers_.end())
    it->second();
}

bool PageFlow::Recordable(std::string_view what, std::string_view path) {
  const std::optional<std::string> refused = core::RefuseUnrecordable(platform_.system, what, path);
  if (refused) {
    platform_.dialogs.MessageBox("Setup", *refused, platform::MsgButtons::Ok,
                                 platform::MsgIcon::Exclamation);
  }
  return !refused;
}

void PageFlow::Forward(WindowId page) {
  switch (page) {
    case WindowId::Schritt4:
      if (!Recordable("Das Zielverzeichnis", ui_.Text(WindowId::Schritt4, "Edit1")) ||
          !ConfirmOtherFolder(ui_.Text(WindowId::Schritt4, "Edit1"))) {
        return;
      }
      state_.TargetDir = ui_.Text(WindowId::Schritt4, "Edit1");
      break;
    case WindowId::Schritt6:
      if (!ui_.Checked(WindowId::Schritt6, "CheckBox1") &&
          !Recordable("Der Programmordner", ui_.Text(WindowId::Schritt6, "Edit1"))) {
        return;
      }
      state_.ProgramFolder = ui_.Text(WindowId::Schritt6, "Edit1");
      state_.NoShortcuts = ui_.Checked(WindowId::Schritt6, "CheckBox1");
      break;
    case WindowId::Schritt5:
      state_.UserName = ui_.Text(WindowId::Schritt5, "Edit1");
      state_.UserCompany = ui_.Text(WindowId::Schritt5, "Edit2");
      break;
    default:
      break;
  }
  ui_.Show(ForwardTarget(page, state_));
  ui_.Hide(page);
}

bool PageFlow::ConfirmOtherFolder(std::string_view target) {
  const std::optional<core::InstalledProduct>& installed = state_.Installed;
  // Setup removes only an installation whose record it has.
  if (!installed || !installed->Recorded || core::SameFolder(installed->Dir, target))
    return true;
  const std::string& title = state_.ProductTitle;
  const std::string text =
      installed->Title + " ist bereits in \"" + installed->Dir + "\" installiert.\r\rWenn Sie " +
      title +
      " in ein anderes Verzeichnis installieren, entfernt Setup zuvor die bisherige Installation "
      "mit ihren Verknüpfungen und Registrierungseinträgen. Dateien, die Sie selbst angelegt "
      "haben, bleiben erhalten.\r\rMöchten Sie " +
      title + " in \"" + std::string(target) +
      "\" installieren und die bisherige Installation entfernen?";
  return platform_.dialogs.MessageBox("Setup", text, platform::MsgButtons::YesNo,
                                      platform::MsgIcon::Question) == platform::MsgAnswer::Yes;
}

void PageFlow::Back(WindowId page) {
  ui_.Show(BackTarget(page, state_));
  ui_.Hide(page);
}

void PageFlow::Cancel() {
  AskCancel(platform_.dialogs, state_, ui_);
}

void PageFlow::BuildTargetPath() {
  std::optional<std::string> path = wizard::BuildTargetPath(
      ui_.Text(WindowId::Schritt4, "DirTree1"), state_.Company, state_.ProductTitle,
      [this](std::string_view dir) { return platform_.files.DirectoryExists(dir); });
  if (path)
    ui_.SetText(WindowId::Schritt4, "Edit1", *path);
}

void PageFlow::NoShortcutsClicked() {
  const bool ticked = ui_.Checked(WindowId::Schritt6, "CheckBox1");
  if (ticked) {
    rememberedFolder_ = ui_.Text(WindowId::Schritt6, "Edit1");
    ui_.SetText(WindowId::Schritt6, "Edit1", "");
  }
  ui_.SetEnabled(WindowId::Schritt6, "Edit1", !ticked);
  if (!ticked)
    ui_.SetText(WindowId::Schritt6, "Edit1", rememberedFolder_);
  ui_.SetEnabled(WindowId::Schritt6, "ListBox1", !ticked);
}

void PageFlow::LeaveProgramFolderPage() {
  const bool ticked = ui_.Checked(WindowId::Schritt6, "CheckBox1");
  if (ticked)
    ui_.SetText(WindowId::Schritt6, "Edit1", "");
  ui_.SetEnabled(WindowId::Schritt6, "Edit1", !ticked);
  ui_.SetEnabled(WindowId::Schritt6, "ListBox1", !ticked);
}

void PageFlow::FillSummary() {
  ui_.SetText(WindowId::Schritt7, "Label8", ui_.Text(WindowId::Schritt5, "Edit1"));
  ui_.SetText(WindowId::Schritt7, "Label9", ui_.Text(WindowId::Schritt5, "Edit2"));
  ui_.SetText(WindowId::Schritt7, "Label10", ui_.Text(WindowId::Schritt4, "Edit1"));
  ui_.SetText(WindowId::Schritt7, "Label11",
              ui_.Checked(WindowId::Schritt6, "CheckBox1") ? "(kein)"
                                                           : ui_.Text(WindowId::Schritt6, "Edit1"));
  ui_.SetText(WindowId::Schritt7, "Label13",
              InstalledLine(state_, ui_.Text(WindowId::Schritt4, "Edit1")));
}

}  // namespace wizard
