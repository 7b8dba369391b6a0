#pragma once

#include <functional>

#include "controls/Form.h"

namespace finish {

/// The finish page "Fertig.": every way out of it ends the program.
class TReady : public controls::Form {
 public:
  struct Handlers {
    std::function<void()> endProgram;
  };

  TReady();
  void SetHandlers(Handlers handlers) { handlers_ = std::move(handlers); }

 protected:
  void OnCreate() override;
  bool FormClose() override;

 private:
  void Button1Click();

  Handlers handlers_;
};

}  // namespace finish
