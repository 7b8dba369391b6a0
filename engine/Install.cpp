#include "engine/Install.h"

#include <memory>

#include "controls/ExceptionDisplay.h"

namespace engine {

namespace {

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT_PTR kAnimation1 = 2;

}  // namespace

TInstall::TInstall()
    : controls::Form(core::WindowId::Install, L"TInstall", 492, 354, controls::FrameKind::Page) {}

void TInstall::OnCreate() {
  AddPageHeader();
  AddLabel("Label12", 28, 27, ClientWidth() - 108, 28);
  AddLabel("Label2", 24, 100, ClientWidth() - 48, 16, {.bold = true, .wordWrap = false});
  AddLabel("Label5", 24, 122, ClientWidth() - 48, 16, {.wordWrap = false});
  progressBar1_ =
      &AddOwned("ProgressBar1", std::make_unique<controls::GradientBarControl>(), 50, 201, 370, 17)
           .Bar();
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
  OnClick("Button1", [this] { Button1Click(); });
  StartTimer(kAnimation1, 1);
}

void TInstall::FormShow() {
  StartTimer(kTimer1, 1000);
}

bool TInstall::FormClose() {
  if (handlers_.cancelQuestion)
    handlers_.cancelQuestion();
  return false;
}

void TInstall::OnTimer(UINT_PTR id) {
  if (id == kTimer1)
    Timer1Timer();
  if (id == kAnimation1)
    Animation1Timer();
}

void TInstall::Timer1Timer() {
  StopTimer(kTimer1);
  try {
    if (handlers_.run)
      handlers_.run();
  } catch (const std::exception& error) {
    controls::ShowException(error);
  }
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

void TInstall::Button1Click() {
  if (handlers_.cancelRequested)
    handlers_.cancelRequested();
}

void TInstall::PaintNow(std::string_view control) {
  if (HWND hwnd = Control(control)) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  }
}

void TInstall::SetStatus(std::string_view text) {
  SetText("Label2", text);
  PaintNow("Label2");
}

void TInstall::SetDetail(std::string_view text) {
  SetText("Label5", text);
  PaintNow("Label5");
}

void TInstall::SetupBar(int max, int min, BarDirection direction, BarColorStyle style) {
  progressBar1_->SetMax(max);
  progressBar1_->SetMin(min);
  progressBar1_->SetDirection(direction == BarDirection::RightToLeft
                                  ? controls::TProgressDirection::pdRightToLeft
                                  : controls::TProgressDirection::pdLeftToRight);
  progressBar1_->SetBarColorStyle(style == BarColorStyle::OneColor
                                      ? controls::TBarColorStyle::cs1Color
                                      : controls::TBarColorStyle::cs2Colors);
}

void TInstall::SetBarPosition(int position) {
  // The bar paints a new position at once.
  progressBar1_->SetPosition(position);
}

void TInstall::EnableAnimation(bool enabled) {
  if (enabled) {
    StartTimer(kAnimation1, 1);
  } else {
    StopTimer(kAnimation1);
  }
}

void TInstall::RepaintForm() {
  Repaint();
}

void TInstall::ShowTargetDirectory(std::string_view dir) {
  if (handlers_.showTargetDirectory)
    handlers_.showTargetDirectory(dir);
}

void TInstall::ShowCompletion(bool restartPage) {
  if (handlers_.showCompletion)
    handlers_.showCompletion(restartPage);
}

}  // namespace engine
