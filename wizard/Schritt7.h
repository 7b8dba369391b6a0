#pragma once

#include "wizard/Page.h"

namespace wizard {

class TSchritt7 : public Page {
 public:
  explicit TSchritt7(PageEvents& events) : Page(core::WindowId::Schritt7, L"TSchritt7", events) {}

 protected:
  void CreateBody() override;
};

}  // namespace wizard
