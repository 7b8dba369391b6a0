#include "finish/Ready.h"

#include "resources/PictureResources.h"
#include "resources/ResourceIds.h"

namespace finish {

TReady::TReady()
    : controls::Form(core::WindowId::Ready, L"TReady", 492, 354, controls::FrameKind::White) {
  // Its only button ends the program, by Enter as by Esc.
  SetDefaultButtons("Button1", "Button1");
}

void TReady::OnCreate() {
  constexpr int kLeft = 176;
  const int width = ClientWidth() - kLeft - 16;
  AddImage("Image1", 0, 0, 163, ClientHeight(), nullptr);
  AddLabel("Label1", kLeft, 16, width, 36, {.bold = true});
  AddLabel("Label2", kLeft, 64, width, 44);
  AddImage("Image2", kLeft, 136, 128, 65, resources::LoadPictureBitmap(IDR_LOGO_JPG));
  AddLabel("Label3", kLeft, 212, width, 16, {.wordWrap = false, .link = true});
  AddLabel("Label8", kLeft, 230, width, 16, {.wordWrap = false, .link = true});
  AddLabel("Label9", kLeft, 248, width, 16, {.wordWrap = false, .link = true});
  AddLabel("Label4", kLeft, 272, width, 16, {.wordWrap = false});
  AddButton("Button1", ClientWidth() - 83, ClientHeight() - 31, 75, 25);
}

}  // namespace finish
