#pragma once

#include "wizard/Page.h"

namespace wizard {

class TSchritt3 : public Page {
 public:
  explicit TSchritt3(PageEvents& events) : Page(core::WindowId::Schritt3, L"TSchritt3", events) {}

 protected:
  void CreateBody() override;
};

}  // namespace wizard
