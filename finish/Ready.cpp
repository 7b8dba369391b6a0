#include "finish/Ready.h"

#include "resources/PictureResources.h"
#include "resources/ResourceIds.h"

namespace finish {

TReady::TReady() : controls::Form(core::WindowId::Ready, L"TReady", controls::FrameKind::White) {
  // Its only button ends the program, by Enter as by Esc.
  SetDefaultButtons("Button1", "Button1");
}

void TReady::OnCreate() {
  AddImage("Image1", {});
  AddLabel("Label1", {.bold = true});
  AddLabel("Label2");
  AddImage("Image2", {resources::LoadPictureBitmap(IDR_LOGO_JPG),
                      resources::LoadPictureBitmap(IDR_LOGO2X_JPG)});
  AddLabel("Label3", {.wordWrap = false, .link = true});
  AddLabel("Label8", {.wordWrap = false, .link = true});
  AddLabel("Label9", {.wordWrap = false, .link = true});
  AddLabel("Label4", {.wordWrap = false});
  AddButton("Button1");
}

}  // namespace finish
