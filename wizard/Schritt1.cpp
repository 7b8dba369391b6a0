#include "wizard/Schritt1.h"

#include "resources/PictureResources.h"
#include "resources/ResourceIds.h"

namespace wizard {

void TSchritt1::CreateBody() {
  constexpr int kLeft = 176;
  const int width = ClientWidth() - kLeft - 16;
  AddImage("Image1", 0, 0, 163, ClientHeight(), resources::LoadPictureBitmap(IDR_SIDE_JPG));
  AddLabel("Label1", kLeft, 16, width, 36, {.bold = true});
  AddLabel("Label2", kLeft, 64, width, 30);
  AddLabel("Label3", kLeft, 104, width, 56);
  AddLabel("Label4", kLeft, 270, width, 30);
  const int buttonTop = ClientHeight() - 31;
  AddButton("Button2", ClientWidth() - 168, buttonTop, 75, 25);
  AddButton("Button1", ClientWidth() - 83, buttonTop, 75, 25);
}

}  // namespace wizard
