#pragma once

#include "wizard/Page.h"

namespace wizard {

class TSchritt2 : public Page {
 public:
  explicit TSchritt2(PageEvents& events) : Page(core::WindowId::Schritt2, L"TSchritt2", events) {}

 protected:
  void CreateBody() override;
};

}  // namespace wizard
