#include "wizard/Schritt1.h"

#include "resources/PictureResources.h"
#include "resources/ResourceIds.h"

namespace wizard {

void TSchritt1::CreateBody() {
  AddImage("Image1", {resources::LoadPictureBitmap(IDR_SIDE_JPG),
                      resources::LoadPictureBitmap(IDR_SIDE2X_JPG)});
  AddLabel("Label1", {.bold = true});
  AddLabel("Label2");
  AddLabel("Label3");
  AddLabel("Label4");
  AddButton("Button2");
  AddButton("Button1");
}

}  // namespace wizard
