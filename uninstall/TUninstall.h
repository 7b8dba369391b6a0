#pragma once

#include "controls/Form.h"
#include "uninstall/RemovalView.h"

namespace uninstall {

/// The small progress window of the uninstaller: a heading, the status line
/// with the item being removed and a progress bar. It cannot be closed while
/// the removal runs.
class TUninstall : public controls::Form, public RemovalView {
 public:
  TUninstall();

  void Open(std::string_view caption, int steps) override;
  void SetStatus(std::string_view text) override;
  void SetProgress(int done) override;
  void Finish() override;

 protected:
  void OnCreate() override;

 private:
  void PaintNow(std::string_view control);
};

}  // namespace uninstall
