#pragma once

#include "wizard/Page.h"

namespace wizard {

class TSchritt1 : public Page {
 public:
  explicit TSchritt1(PageEvents& events) : Page(app::WindowId::Schritt1, L"TSchritt1", events) {}

 protected:
  void CreateBody() override;
};

}  // namespace wizard
