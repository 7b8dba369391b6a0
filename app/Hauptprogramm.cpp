#include "app/Hauptprogramm.h"

#include <commctrl.h>

#include "resources/PictureResources.h"
#include "resources/ResourceIds.h"

namespace app {

namespace {

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT_PTR kTimer2 = 2;
constexpr int kProgressMax = 100;

}  // namespace

THauptprogramm::THauptprogramm(platform::Platform& platform)
    : controls::Form(core::WindowId::Hauptprogramm, L"THauptprogramm", controls::FrameKind::Plain),
      zipUnpacker1_(platform, "Tessarwolden") {}

void THauptprogramm::OnCreate() {
  AddImage("Image1", {resources::LoadPictureBitmap(IDR_HEADER_JPG),
                      resources::LoadPictureBitmap(IDR_HEADER2X_JPG)});
  AddLabel("Label1", {.bold = true, .wordWrap = false});
  AddLabel("Label2");
  AddLabel("Label3", {.wordWrap = false});
  AddProgressBar("ProgressBar1", kProgressMax);
  // Timer1 runs from creation; it does nothing until the bar is full.
  StartTimer(kTimer1, 1);
}

void THauptprogramm::FormShow() {
  StartTimer(kTimer1, 1);
  StartTimer(kTimer2, 10);
}

bool THauptprogramm::FormClose() {
  return handlers_.mayClose && handlers_.mayClose();
}

void THauptprogramm::OnTimer(UINT_PTR id) {
  if (id == kTimer1)
    Timer1Timer();
  if (id == kTimer2)
    Timer2Timer();
}

void THauptprogramm::Timer1Timer() {
  const auto position = SendMessageW(Control("ProgressBar1"), PBM_GETPOS, 0, 0);
  if (position != kProgressMax)
    return;
  StopTimer(kTimer1);
  if (handlers_.openFirstPage)
    handlers_.openFirstPage();
}

void THauptprogramm::Timer2Timer() {
  StopTimer(kTimer2);
  if (handlers_.runStartup)
    handlers_.runStartup();
}

void THauptprogramm::OnDestroy() {
  PostQuitMessage(0);
}

}  // namespace app
