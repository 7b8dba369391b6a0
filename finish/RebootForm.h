#pragma once

#include "controls/Form.h"

namespace finish {

/// The restart page "Neustart.": restart now or later. What the user does
/// goes to the form's event sink.
class TRebootForm : public controls::Form {
 public:
  TRebootForm();

 protected:
  void OnCreate() override;
};

}  // namespace finish
