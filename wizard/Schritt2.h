#pragma once

#include "wizard/Page.h"

namespace wizard {

class TSchritt2 : public Page {
 public:
  TSchritt2() : Page(core::WindowId::Schritt2, L"TSchritt2") {}

 protected:
  void CreateBody() override;
};

}  // namespace wizard
