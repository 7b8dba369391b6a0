#include "wizard/Page.h"

namespace wizard {

Page::Page(core::WindowId id, const wchar_t* className, controls::FrameKind frame)
    : controls::Form(id, className, frame) {}

void Page::OnCreate() {
  AddPageHeader();
  CreateBody();
  AddPageButtons();
}

}  // namespace wizard
