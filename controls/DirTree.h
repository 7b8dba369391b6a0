#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Platform.h"

namespace controls {

/// One node of the directory tree: the computer at the top, a drive below
/// it, folders below the drives.
struct TreeNode {
  enum class Kind { Computer, Drive, Folder };

  Kind kind = Kind::Folder;
  std::string text;
  /// Shows the expand button before the children are loaded.
  bool hasChildren = false;
  TreeNode* parent = nullptr;
  std::vector<std::unique_ptr<TreeNode>> children;
  /// The native control's item for this node.
  void* item = nullptr;
};

/// What the native tree control does for the tree's logic. Nodes are shown
/// as the logic adds them; the control tells the logic what the user does.
class TreeView {
 public:
  virtual ~TreeView() = default;

  /// Brackets a bulk change, so that the control is redrawn once.
  virtual void BeginUpdate() = 0;
  virtual void EndUpdate() = 0;
  /// Every item is gone; `top` is shown alone.
  virtual void Reset(TreeNode& top) = 0;
  /// The children of `parent`, in their order, are new.
  virtual void ChildrenAdded(TreeNode& parent) = 0;
  /// The text or the expand button of `node` changed.
  virtual void NodeChanged(TreeNode& node) = 0;
  virtual void Select(TreeNode& node) = 0;
  /// Opens `node` one level.
  virtual void Expand(TreeNode& node) = 0;
  /// Closes `node` and everything below it.
  virtual void CollapseAll(TreeNode& node) = 0;
  /// The error beep.
  virtual void Beep() = 0;
};

/// The directory tree's logic: nodes for the computer, its drives and
/// folders (loaded when a node first opens), the path of a node, the path
/// the user chose, opening a path, and renaming folders in place.
class TDirTree {
 public:
  TDirTree(platform::Platform& platform, TreeView& view);
  TDirTree(const TDirTree&) = delete;
  TDirTree& operator=(const TDirTree&) = delete;

  /// The caption of the tree's plain message boxes.
  void SetMessageCaption(std::string caption) { caption_ = std::move(caption); }

  /// Clears all nodes, adds the computer with its drives and opens it.
  void Fill();
  /// Leaves the computer alone in the tree; its drives come back when it is
  /// clicked or a path is opened.
  void ResetToTop();

  TreeNode& Top() { return *top_; }
  TreeNode* Selected() const { return selected_; }
  /// "X:\" for a drive, "X:\A\B" for a folder, "" for the computer.
  std::string NodePath(const TreeNode& node) const;

  const std::string& SelectedPath() const { return selectedPath_; }
  /// Stores `path` when it differs from the current one ignoring case; the
  /// selection does not move.
  void SetSelectedPath(std::string_view path);
  const std::string& SelectedFile() const { return selectedFile_; }
  void SetSelectedFile(std::string_view name);
  /// Receives every path the user chooses; unset by default.
  std::function<void(const std::string&)> FileList;

  // What the user does, as the native control reports it.
  /// A node is about to open: loads its folders the first time.
  void Expanding(TreeNode& node);
  /// The selection moved to `node` (or to nothing).
  void SelectionMoved(TreeNode* node);
  /// A left click on the icon or label of `node`, after the control selected
  /// it.
  void Clicked(TreeNode& node);
  /// Enter: a click on the current selection.
  void EnterPressed();
  /// Whether the label of `node` may be edited.
  bool CanEditLabel(const TreeNode& node) const;
  /// An edit of a folder's label ended with `newName`, or nullopt when it
  /// was cancelled. Returns true when the folder was renamed and the label
  /// takes the new name.
  bool EndLabelEdit(TreeNode& node, const std::optional<std::string>& newName);

  /// Opens an existing directory: expands the tree down to it, selects its
  /// node and makes the path, with a trailing backslash, the chosen one.
  /// Nothing happens for an empty or one-character path or one that names
  /// no directory.
  void OpenPath(std::string_view path);

 private:
  void AddDrives();
  /// Runs the lazy loading, then opens the node in the control.
  void ExpandNode(TreeNode& node);
  void SelectNode(TreeNode& node);
  void Choose(TreeNode& node);
  /// False, after the beep and the message, when the drive has no medium.
  bool DriveReady(char letter);
  bool HasSubfolder(const std::string& path);

  platform::Platform& platform_;
  TreeView& view_;
  std::unique_ptr<TreeNode> top_;
  TreeNode* selected_ = nullptr;
  std::string selectedPath_;
  std::string selectedFile_;
  std::string caption_;
};

}  // namespace controls
