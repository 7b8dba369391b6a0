#pragma once

#include "controls/Form.h"
#include "wizard/PageEvents.h"

namespace wizard {

/// The common frame of the wizard pages: header band, button band with
/// Button1 (cancel), Button2 (forward) and Button4 (back), the signature,
/// and the close box that asks the cancel question instead of closing.
class Page : public controls::Form {
 public:
  Page(core::WindowId id, const wchar_t* className, PageEvents& events,
       controls::FrameKind frame = controls::FrameKind::Page, int clientWidth = 492,
       int clientHeight = 354);

 protected:
  /// Top of the page body, below the header band.
  static constexpr int kBodyTop = 68;

  void OnCreate() override;
  bool FormClose() override;
  /// Adds the controls between header band and button band.
  virtual void CreateBody() = 0;

  virtual void Button1Click() { events_.Cancel(); }
  virtual void Button2Click() { events_.Forward(Id()); }
  virtual void Button4Click() { events_.Back(Id()); }

  PageEvents& events_;
};

}  // namespace wizard
