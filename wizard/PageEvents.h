#pragma once

#include "core/Ui.h"

namespace wizard {

/// What the page windows forward; the program decides what follows.
class PageEvents {
 public:
  virtual ~PageEvents() = default;

  virtual void Forward(core::WindowId page) = 0;
  virtual void Back(core::WindowId page) = 0;
  /// A cancel button or a close box: the cancel question.
  virtual void Cancel() = 0;
};

}  // namespace wizard
