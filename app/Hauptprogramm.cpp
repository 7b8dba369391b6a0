#include "app/Hauptprogramm.h"

#include <commctrl.h>

#include <memory>

#include "archive/PasswordDlg.h"
#include "resources/PictureResources.h"
#include "resources/ResourceIds.h"

namespace app {

namespace {

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT_PTR kTimer2 = 2;
constexpr int kProgressMax = 100;

}  // namespace

THauptprogramm::THauptprogramm(platform::Platform& platform)
    : controls::Form(core::WindowId::Hauptprogramm, L"THauptprogramm", 350, 105,
                     controls::FrameKind::Plain),
      zipUnpacker1_(platform, "Tessarwolden") {
  zipUnpacker1_.SetPasswordPrompt(std::make_unique<archive::TPasswordDlg>());
}

void THauptprogramm::OnCreate() {
  AddImage("Image1", 8, 8, 53, 53, resources::LoadPictureBitmap(IDR_HEADER_JPG));
  AddLabel("Label1", 72, 8, 270, 16, {.bold = true, .wordWrap = false});
  AddLabel("Label2", 72, 26, 270, 40);
  AddLabel("Label3", 8, 66, 334, 14, {.wordWrap = false});
  AddProgressBar("ProgressBar1", 8, 84, 334, 14, kProgressMax);
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
