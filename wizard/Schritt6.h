#pragma once

#include "wizard/Page.h"

namespace wizard {

class TSchritt6 : public Page {
 public:
  TSchritt6() : Page(core::WindowId::Schritt6, L"TSchritt6", controls::FrameKind::Page) {}

 protected:
  void CreateBody() override;
};

}  // namespace wizard
