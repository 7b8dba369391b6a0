#pragma once

#include "wizard/Page.h"

namespace wizard {

class TSchritt4 : public Page {
 public:
  explicit TSchritt4(PageEvents& events) : Page(core::WindowId::Schritt4, L"TSchritt4", events) {}

 protected:
  void CreateBody() override;
};

}  // namespace wizard
