#include "wizard/Page.h"

namespace wizard {

Page::Page(core::WindowId id, const wchar_t* className, PageEvents& events,
           controls::FrameKind frame, int clientWidth, int clientHeight)
    : controls::Form(id, className, clientWidth, clientHeight, frame), events_(events) {}

void Page::OnCreate() {
  AddPageFrame([this] { Button1Click(); }, [this] { Button2Click(); }, [this] { Button4Click(); });
  CreateBody();
}

bool Page::FormClose() {
  events_.Cancel();
  return false;
}

}  // namespace wizard
