#pragma once

#include "wizard/Page.h"

namespace wizard {

class TSchritt4 : public Page {
 public:
  TSchritt4() : Page(core::WindowId::Schritt4, L"TSchritt4") {}

 protected:
  void CreateBody() override;
};

}  // namespace wizard
