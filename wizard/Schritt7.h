#pragma once

#include "wizard/Page.h"

namespace wizard {

class TSchritt7 : public Page {
 public:
  TSchritt7() : Page(core::WindowId::Schritt7, L"TSchritt7") {}

 protected:
  void CreateBody() override;
};

}  // namespace wizard
