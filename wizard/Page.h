#pragma once

#include "controls/Form.h"

namespace wizard {

/// The common frame of the wizard pages: header band, body, button band with
/// Button4 (back), Button2 (forward) and Button1 (cancel), the signature.
/// What the user does goes to the form's event sink: the pages decide
/// nothing.
class Page : public controls::Form {
 public:
  Page(core::WindowId id, const wchar_t* className,
       controls::FrameKind frame = controls::FrameKind::Page);

 protected:
  void OnCreate() override;
  /// Adds the controls between header band and button band.
  virtual void CreateBody() = 0;
};

}  // namespace wizard
