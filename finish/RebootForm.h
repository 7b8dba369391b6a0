#pragma once

#include <functional>

#include "controls/Form.h"

namespace finish {

/// The restart page "Neustart.": restart now or later.
class TRebootForm : public controls::Form {
 public:
  struct Handlers {
    std::function<void()> cancelQuestion;
  };

  TRebootForm();
  void SetHandlers(Handlers handlers) { handlers_ = std::move(handlers); }

 protected:
  void OnCreate() override;
  bool FormClose() override;

 private:
  Handlers handlers_;
};

}  // namespace finish
