#include "engine/Install.h"

#include <memory>

namespace engine {

namespace {

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT_PTR kAnimation1 = 2;
// Paints what the run changed; the run changes its lines thousands of times
// a second, the eye follows some twenty-five.
constexpr UINT_PTR kPaintProgress = 3;
constexpr UINT kPaintInterval = 40;
// Posted by the run's thread when the progress changed while none was
// waiting to be painted.
constexpr UINT kProgressChanged = WM_APP + 1;

}  // namespace

TInstall::TInstall()
    : controls::Form(core::WindowId::Install, L"TInstall", controls::FrameKind::Page),
      progress_([this] { PostMessageW(Window(), kProgressChanged, 0, 0); }) {}

void TInstall::OnCreate() {
  AddPageHeader();
  AddLabel("Label12");
  AddLabel("Label2", {.bold = true, .wordWrap = false});
  AddLabel("Label5", {.wordWrap = false});
  progressBar1_ = &AddOwned("ProgressBar1", std::make_unique<controls::GradientBarControl>()).Bar();
  progressBar1_->SetBarColor1(10053171);
  progressBar1_->SetBarColor2(13602864);
  progressBar1_->SetBarColor3(controls::clBtnFace);
  progressBar1_->SetBarColorStyle(controls::TBarColorStyle::cs2Colors);
  progressBar1_->SetBorderColor1(controls::clGray);
  progressBar1_->SetBorderColor2(controls::clGray);
  progressBar1_->SetMax(30);
  progressBar1_->SetPosTextSuffix("%");
  progressBar1_->SetShowPosText(false);
  AddPageButtons();
  StartTimer(kAnimation1, 1);
}

void TInstall::FormShow() {
  StartTimer(kTimer1, 1000);
}

void TInstall::OnTimer(UINT_PTR id) {
  if (id == kTimer1)
    Timer1Timer();
  if (id == kAnimation1)
    Animation1Timer();
  if (id == kPaintProgress) {
    StopTimer(kPaintProgress);
    paintPending_ = false;
    ShowProgress();
  }
}

void TInstall::OnAppMessage(UINT msg) {
  // The changes wait in the view until the timer takes them; the run posts
  // no more messages meanwhile.
  if (msg == kProgressChanged && !paintPending_) {
    paintPending_ = true;
    StartTimer(kPaintProgress, kPaintInterval);
  }
}

void TInstall::Timer1Timer() {
  StopTimer(kTimer1);
  if (run_)
    run_();
}

void TInstall::Animation1Timer() {
  progressBar1_->SetPosition(progressBar1_->Position() + 1);
  if (progressBar1_->Position() == progressBar1_->Max()) {
    animationBackwards_ = !animationBackwards_;
    progressBar1_->SetDirection(animationBackwards_ ? controls::TProgressDirection::pdRightToLeft
                                                    : controls::TProgressDirection::pdLeftToRight);
    progressBar1_->SetPosition(progressBar1_->Min());
  }
}

void TInstall::ShowProgress() {
  const SharedProgress::Changes changes = progress_.Take();
  if (changes.bar) {
    progressBar1_->SetMax(changes.bar->max);
    progressBar1_->SetMin(changes.bar->min);
    progressBar1_->SetDirection(changes.bar->direction == BarDirection::RightToLeft
                                    ? controls::TProgressDirection::pdRightToLeft
                                    : controls::TProgressDirection::pdLeftToRight);
    progressBar1_->SetBarColorStyle(changes.bar->style == BarColorStyle::OneColor
                                        ? controls::TBarColorStyle::cs1Color
                                        : controls::TBarColorStyle::cs2Colors);
  }
  if (changes.animation) {
    if (*changes.animation)
      StartTimer(kAnimation1, 1);
    else
      StopTimer(kAnimation1);
  }
  // The bar paints a new position at once.
  if (changes.position)
    progressBar1_->SetPosition(*changes.position);
  if (changes.status) {
    SetText("Label2", *changes.status);
    PaintNow("Label2");
  }
  if (changes.detail) {
    SetText("Label5", *changes.detail);
    PaintNow("Label5");
  }
  if (changes.repaintForm)
    Repaint();
}

void TInstall::PaintNow(std::string_view control) {
  if (HWND hwnd = Control(control)) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
}

}  // namespace engine
