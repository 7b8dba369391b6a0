#include "engine/Install.h"

#include <commctrl.h>

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
  AddProgressBar("ProgressBar1", 24, 150, ClientWidth() - 48, 18, barMax_);
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
  // The standard bar cannot run backwards, so the sweep starts over at the
  // left each time it reaches the end.
  SetBarPosition(barPosition_ + 1);
  if (barPosition_ == barMax_)
    SetBarPosition(barMin_);
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

void TInstall::SetupBar(int max, int min, BarDirection, BarColorStyle) {
  barMax_ = max;
  barMin_ = min;
  SendMessageW(Control("ProgressBar1"), PBM_SETRANGE32, static_cast<WPARAM>(min), max);
}

void TInstall::SetBarPosition(int position) {
  barPosition_ = position;
  SetPosition("ProgressBar1", position);
  PaintNow("ProgressBar1");
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
