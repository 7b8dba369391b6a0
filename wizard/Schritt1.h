#pragma once

#include "wizard/Page.h"

namespace wizard {

class TSchritt1 : public Page {
 public:
  TSchritt1() : Page(core::WindowId::Schritt1, L"TSchritt1", controls::FrameKind::White) {}

 protected:
  // The welcome page is all white and lays out its own buttons.
  void OnCreate() override { CreateBody(); }
  void CreateBody() override;
};

}  // namespace wizard
