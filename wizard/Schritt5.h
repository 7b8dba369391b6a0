#pragma once

#include "wizard/Page.h"

namespace wizard {

class TSchritt5 : public Page {
 public:
  explicit TSchritt5(PageEvents& events) : Page(core::WindowId::Schritt5, L"TSchritt5", events) {}

 protected:
  void CreateBody() override;
};

}  // namespace wizard
