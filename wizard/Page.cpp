#include "wizard/Page.h"

namespace wizard {

Page::Page(core::WindowId id, const wchar_t* className, controls::FrameKind frame, int clientWidth,
           int clientHeight)
    : controls::Form(id, className, clientWidth, clientHeight, frame) {}

void Page::OnCreate() {
  AddPageHeader();
  CreateBody();
  AddPageButtons();
}

}  // namespace wizard
