#pragma once

#include "wizard/Page.h"

namespace wizard {

class TSchritt3 : public Page {
 public:
  TSchritt3() : Page(core::WindowId::Schritt3, L"TSchritt3") {}

 protected:
  void CreateBody() override;
};

}  // namespace wizard
