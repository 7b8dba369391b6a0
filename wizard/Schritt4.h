#pragma once

#include <string_view>

#include "controls/DirTreeControl.h"
#include "platform/Platform.h"
#include "wizard/Page.h"

namespace wizard {

/// The target directory page: the path in Edit1, the directory tree DirTree1
/// below it.
class TSchritt4 : public Page {
 public:
  explicit TSchritt4(platform::Platform& platform)
      : Page(core::WindowId::Schritt4, L"TSchritt4"), platform_(platform) {}

  /// Opens `path` in the directory tree.
  void OpenTreePath(std::string_view path);

 protected:
  void CreateBody() override;

 private:
  platform::Platform& platform_;
  controls::DirTreeControl* dirTree1_ = nullptr;
};

}  // namespace wizard
