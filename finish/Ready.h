#pragma once

#include "controls/Form.h"

namespace finish {

/// The finish page "Fertig.": the side picture, the closing texts, the
/// maker's logo and three link labels. What the user does goes to the
/// form's event sink.
class TReady : public controls::Form {
 public:
  TReady();

 protected:
  void OnCreate() override;
};

}  // namespace finish
