#pragma once

#include <functional>
#include <string_view>

#include "controls/Form.h"
#include "controls/GradientBarControl.h"
#include "engine/InstallView.h"

namespace engine {

/// The installation form "Setup.": shows the run's status, detail and
/// progress. Timer1 fires once, a second after the form is shown, and runs
/// the whole installation; Animation1 sweeps the bar while nothing else
/// moves it.
class TInstall : public controls::Form, public InstallView {
 public:
  struct Handlers {
    std::function<void()> run;
    std::function<void()> cancelQuestion;
    std::function<void()> cancelRequested;
    std::function<void(std::string_view)> showTargetDirectory;
    std::function<void(bool restartPage)> showCompletion;
  };

  TInstall();
  void SetHandlers(Handlers handlers) { handlers_ = std::move(handlers); }

  void SetStatus(std::string_view text) override;
  void SetDetail(std::string_view text) override;
  void SetupBar(int max, int min, BarDirection direction, BarColorStyle style) override;
  void SetBarPosition(int position) override;
  void EnableAnimation(bool enabled) override;
  void RepaintForm() override;
  void ShowTargetDirectory(std::string_view dir) override;
  void ShowCompletion(bool restartPage) override;

 protected:
  void OnCreate() override;
  void FormShow() override;
  bool FormClose() override;
  void OnTimer(UINT_PTR id) override;

 private:
  void Timer1Timer();
  void Animation1Timer();
  void Button1Click();
  void PaintNow(std::string_view control);

  Handlers handlers_;
  controls::TGradientBar* progressBar1_ = nullptr;
  // The sweep's direction: true while it runs from the right.
  bool animationBackwards_ = false;
};

}  // namespace engine
