#pragma once

#include <functional>
#include <string_view>

#include "controls/Form.h"
#include "controls/GradientBarControl.h"
#include "engine/SharedProgress.h"

namespace engine {

/// The installation form "Setup.": shows the run's status, detail and
/// progress. Timer1 fires once, a second after the form is shown, and
/// starts the installation; the run works on a thread of its own and
/// reports through Progress(), which the form paints at most every 40 ms.
/// Animation1 sweeps the bar while the run does not move it. The cancel
/// button and the close box are reported as events.
class TInstall : public controls::Form {
 public:
  TInstall();
  void SetRunHandler(std::function<void()> run) { run_ = std::move(run); }

  /// The form as the run's thread sees it.
  SharedProgress& Progress() { return progress_; }

 protected:
  void OnCreate() override;
  void FormShow() override;
  void OnTimer(UINT_PTR id) override;
  void OnAppMessage(UINT msg) override;

 private:
  void Timer1Timer();
  void Animation1Timer();
  /// Paints what the run changed since the last time.
  void ShowProgress();
  void PaintNow(std::string_view control);

  std::function<void()> run_;
  SharedProgress progress_;
  controls::TGradientBar* progressBar1_ = nullptr;
  bool paintPending_ = false;
  // The sweep's direction: true while it runs from the right.
  bool animationBackwards_ = false;
};

}  // namespace engine
