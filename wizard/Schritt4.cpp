#include "wizard/Schritt4.h"

#include <memory>

namespace wizard {

void TSchritt4::CreateBody() {
  AddEdit("Edit1");
  // Typing a path opens it in the tree.
  ReportKeyUp("Edit1");
  dirTree1_ = &AddOwned("DirTree1", std::make_unique<controls::DirTreeControl>(platform_));
  dirTree1_->Tree().SetMessageCaption("Tessarwolden");
  AddLabel("Label2");
}

void TSchritt4::OpenTreePath(std::string_view path) {
  if (dirTree1_)
    dirTree1_->Tree().OpenPath(path);
}

}  // namespace wizard
