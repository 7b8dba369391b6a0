#include "wizard/Page.h"

#include "app/DesignTexts.h"

namespace wizard {

Page::Page(app::WindowId id, const wchar_t* className, PageEvents& events, int clientWidth,
           int clientHeight)
    : controls::Form(
          id, className, clientWidth, clientHeight,
          id == app::WindowId::Schritt1 ? controls::FrameKind::White : controls::FrameKind::Page),
      events_(events) {}

void Page::OnCreate() {
  if (Id() != app::WindowId::Schritt1) {
    const bool hasBack = !app::DesignTextOf(Id(), "Button4").empty();
    AddPageFrame([this] { Button1Click(); }, [this] { Button2Click(); },
                 hasBack ? std::function<void()>([this] { Button4Click(); }) : nullptr);
  }
  CreateBody();
}

bool Page::FormClose() {
  events_.Cancel();
  return false;
}

}  // namespace wizard
