#pragma once

#include "wizard/Page.h"

namespace wizard {

class TSchritt1 : public Page {
 public:
  explicit TSchritt1(PageEvents& events)
      : Page(core::WindowId::Schritt1, L"TSchritt1", events, controls::FrameKind::White) {}

 protected:
  // The welcome page is all white and lays out its own buttons.
  void OnCreate() override { CreateBody(); }
  void CreateBody() override;
};

}  // namespace wizard
