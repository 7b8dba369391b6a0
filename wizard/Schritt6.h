#pragma once

#include "wizard/Page.h"

namespace wizard {

class TSchritt6 : public Page {
 public:
  explicit TSchritt6(PageEvents& events)
      : Page(core::WindowId::Schritt6, L"TSchritt6", events, controls::FrameKind::Page, 491) {}

 protected:
  void CreateBody() override;
};

}  // namespace wizard
