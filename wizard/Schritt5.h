#pragma once

#include "wizard/Page.h"

namespace wizard {

class TSchritt5 : public Page {
 public:
  TSchritt5() : Page(core::WindowId::Schritt5, L"TSchritt5") {}

 protected:
  void CreateBody() override;
};

}  // namespace wizard
