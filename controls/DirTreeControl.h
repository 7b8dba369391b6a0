#pragma once

#include "controls/DirTree.h"
#include "controls/FormControl.h"

namespace controls {

/// TDirTree on a form: a tree view of the common controls with the shell's
/// small icons, showing the nodes of the tree's logic and passing it what
/// the user does. Its text is the chosen path; mouse-button-ups and key-ups
/// are reported after the tree has handled the press.
class DirTreeControl : public FormControl, public TreeView {
 public:
  explicit DirTreeControl(platform::Platform& platform);
  ~DirTreeControl() override;

  TDirTree& Tree() { return tree_; }

  void Create(HWND parent, int x, int y, int width, int height) override;
  HWND Window() const override { return hwnd_; }
  std::string Text() const override { return tree_.SelectedPath(); }
  /// Takes the shell's icons of the size that suits `dpi` and indents the
  /// levels to match.
  void SetDpi(int dpi) override;
  bool Notify(const NMHDR& header, LRESULT& result) override;

  void BeginUpdate() override;
  void EndUpdate() override;
  void Reset(TreeNode& top) override;
  void ChildrenAdded(TreeNode& parent) override;
  void NodeChanged(TreeNode& node) override;
  void Select(TreeNode& node) override;
  void Expand(TreeNode& node) override;
  void CollapseAll(TreeNode& node) override;
  void Beep() override;

 private:
  static LRESULT CALLBACK InputProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                    DWORD_PTR data);
  LRESULT HandleInput(UINT msg, WPARAM wParam, LPARAM lParam);
  void Insert(TreeNode& node, HTREEITEM parent);
  /// Handles a press of a mouse button after the tree view has: the click
  /// for the left button, and the button-up report when the tree view
  /// took the release itself.
  void AfterButtonDown(bool left, LPARAM point);

  HWND hwnd_ = nullptr;
  int updates_ = 0;
  // A button went down whose release the tree view has not yet taken.
  bool releasePending_ = false;
  TDirTree tree_;
};

}  // namespace controls
