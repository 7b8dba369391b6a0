#include "controls/DirTree.h"

#include <algorithm>

namespace controls {

namespace {

constexpr std::string_view kInvalidNameCharacters = "\\*?/=\"<>|:,;+^";

// The text in lower case for comparing without regard to case: the letters
// A to Z and the accented capitals of Latin-1 (UTF-8 C3 80 to C3 9E).
std::string Folded(std::string_view text) {
  std::string folded(text);
  for (size_t i = 0; i < folded.size(); ++i) {
    const auto c = static_cast<unsigned char>(folded[i]);
    if (c >= 'A' && c <= 'Z') {
      folded[i] = static_cast<char>(c + 0x20);
    } else if (c == 0xC3 && i + 1 < folded.size()) {
      const auto next = static_cast<unsigned char>(folded[i + 1]);
      if (next >= 0x80 && next <= 0x9E && next != 0x97)
        folded[i + 1] = static_cast<char>(next + 0x20);
      ++i;
    }
  }
  return folded;
}

bool SameText(std::string_view a, std::string_view b) {
  return Folded(a) == Folded(b);
}

std::string WithBackslash(std::string_view path) {
  std::string result(path);
  if (result.empty() || result.back() != '\\')
    result += '\\';
  return result;
}

// The letter and colon of a drive node's text " (X:)  Name".
std::string DrivePart(const TreeNode& node) {
  return node.text.size() >= 4 ? node.text.substr(2, 2) : std::string();
}

// The name a node of the path walk is matched by: "X:\" or "Name\".
std::string CandidateName(const TreeNode& node) {
  return (node.kind == TreeNode::Kind::Drive ? DrivePart(node) : node.text) + "\\";
}

}  // namespace

TDirTree::TDirTree(platform::Platform& platform, TreeView& view)
    : platform_(platform), view_(view) {
  ResetToTop();
}

void TDirTree::ResetToTop() {
  selected_ = nullptr;
  top_ = std::make_unique<TreeNode>();
  top_->kind = TreeNode::Kind::Computer;
  top_->text = platform_.shell.ComputerName();
  view_.Reset(*top_);
}

void TDirTree::Fill() {
  ResetToTop();
  AddDrives();
  ExpandNode(*top_);
}

void TDirTree::AddDrives() {
  view_.BeginUpdate();
  const uint32_t drives = platform_.files.LogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (!(drives & (1u << i)))
      continue;
    const char letter = static_cast<char>('A' + i);
    const std::string root = std::string(1, letter) + ":\\";
    const std::string display = platform_.shell.DisplayName(root);
    auto node = std::make_unique<TreeNode>();
    node->kind = TreeNode::Kind::Drive;
    node->text = std::string(" (") + letter + ":)  " + display.substr(0, display.find('('));
    node->hasChildren = true;
    node->parent = top_.get();
    top_->children.push_back(std::move(node));
  }
  view_.ChildrenAdded(*top_);
  view_.EndUpdate();
}

std::string TDirTree::NodePath(const TreeNode& node) const {
  std::vector<const TreeNode*> chain;
  for (const TreeNode* n = &node; n && n->kind != TreeNode::Kind::Computer; n = n->parent)
    chain.push_back(n);
  std::string path;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    if ((*it)->kind == TreeNode::Kind::Drive) {
      path = DrivePart(**it) + "\\";
    } else {
      path += (path.empty() || path.back() == '\\' ? "" : "\\") + (*it)->text;
    }
  }
  return path;
}

void TDirTree::SetSelectedPath(std::string_view path) {
  if (!SameText(path, selectedPath_))
    selectedPath_ = std::string(path);
}

void TDirTree::SetSelectedFile(std::string_view name) {
  if (!SameText(name, selectedFile_))
    selectedFile_ = std::string(name);
}

bool TDirTree::HasSubfolder(const std::string& path) {
  return !platform_.files.ListSubdirectories(path).empty();
}

void TDirTree::Expanding(TreeNode& node) {
  if (!node.children.empty())
    return;
  // The computer's children are its drives; its empty path would list the
  // root of the current drive instead.
  if (node.kind == TreeNode::Kind::Computer) {
    AddDrives();
    return;
  }
  const std::string path = WithBackslash(NodePath(node));
  node.hasChildren = false;
  for (const platform::DirEntry& entry : platform_.files.ListSubdirectories(path)) {
    if (entry.name == "." || entry.name == "..")
      continue;
    auto child = std::make_unique<TreeNode>();
    child->kind = TreeNode::Kind::Folder;
    child->text = entry.name;
    child->hasChildren = HasSubfolder(path + entry.name);
    child->parent = &node;
    node.children.push_back(std::move(child));
  }
  std::stable_sort(node.children.begin(), node.children.end(),
                   [this](const std::unique_ptr<TreeNode>& a, const std::unique_ptr<TreeNode>& b) {
                     return platform_.system.CompareNames(a->text, b->text) < 0;
                   });
  view_.NodeChanged(node);
  if (!node.children.empty())
    view_.ChildrenAdded(node);
}

void TDirTree::ExpandNode(TreeNode& node) {
  Expanding(node);
  view_.Expand(node);
}

void TDirTree::SelectNode(TreeNode& node) {
  selected_ = &node;
  view_.Select(node);
}

void TDirTree::SelectionMoved(TreeNode* node) {
  selected_ = node;
}

void TDirTree::Clicked(TreeNode& node) {
  selected_ = &node;
  Choose(node);
}

void TDirTree::EnterPressed() {
  if (selected_)
    Choose(*selected_);
}

void TDirTree::Choose(TreeNode& node) {
  const bool top = node.kind == TreeNode::Kind::Computer;
  std::string path;
  if (top && node.children.empty()) {
    AddDrives();
  } else {
    path = NodePath(node);
  }
  selectedPath_ = top ? "Drives" : path;
  bool ready = true;
  if (node.kind == TreeNode::Kind::Drive) {
    const platform::DriveType type = platform_.files.GetDriveType(selectedPath_);
    if (type == platform::DriveType::Removable || type == platform::DriveType::CdRom)
      ready = DriveReady(DrivePart(node).empty() ? '?' : DrivePart(node)[0]);
  }
  if (FileList && !selectedPath_.empty() && ready)
    FileList(selectedPath_);
}

bool TDirTree::DriveReady(char letter) {
  if (letter >= 'a' && letter <= 'z')
    letter = static_cast<char>(letter - 'a' + 'A');
  if (letter < 'A' || letter > 'Z') {
    view_.Beep();
    platform_.dialogs.MessageBox(caption_, "Kein gültiges Laufwerk", platform::MsgButtons::Ok,
                                 platform::MsgIcon::None);
    return false;
  }
  if (platform_.files.DiskSize(std::string(1, letter) + ":\\"))
    return true;
  view_.Beep();
  const std::string drive(1, letter);
  platform_.dialogs.MessageBox(caption_,
                               "FEHLER - Kein Medium im Laufwerk " + drive +
                                   "\r                oder Laufwerk " + drive + " ist nicht bereit",
                               platform::MsgButtons::Ok, platform::MsgIcon::None);
  return false;
}

bool TDirTree::CanEditLabel(const TreeNode& node) const {
  return node.kind == TreeNode::Kind::Folder;
}

bool TDirTree::EndLabelEdit(TreeNode& node, const std::optional<std::string>& newName) {
  if (!CanEditLabel(node))
    return false;
  if (!newName || newName->empty()) {
    view_.Beep();
    return false;
  }
  if (newName->find_first_of(kInvalidNameCharacters) != std::string::npos) {
    view_.Beep();
    platform_.dialogs.MessageBox("Fehler", "Error - invalid folder name\r" + *newName,
                                 platform::MsgButtons::Ok, platform::MsgIcon::Error);
    return false;
  }
  const std::string oldPath = NodePath(node);
  const std::string newPath = oldPath.substr(0, oldPath.find_last_of('\\') + 1) + *newName;
  platform_.system.SetBusyCursor(true);
  const platform::MsgAnswer answer = platform_.dialogs.MessageBox(
      "Bestätigen",
      "Rename the selected folder?\r\r    From  : " + node.text + "\r    To     : " + *newName,
      platform::MsgButtons::YesNo, platform::MsgIcon::Question);
  bool renamed = false;
  if (answer == platform::MsgAnswer::Yes && platform_.shell.RenameFolder(oldPath, newPath)) {
    node.text = *newName;
    view_.NodeChanged(node);
    if (node.parent)
      SelectNode(*node.parent);
    renamed = true;
  }
  platform_.system.SetBusyCursor(false);
  return renamed;
}

void TDirTree::OpenPath(std::string_view path) {
  if (path.size() <= 1 || !platform_.files.DirectoryExists(path))
    return;
  const std::string full = WithBackslash(path);
  view_.BeginUpdate();
  if (top_->children.empty())
    AddDrives();
  view_.CollapseAll(*top_);

  // Each segment is looked for among the children of the node matched last,
  // so that the walk follows the path down its own branch.
  TreeNode* matched = top_.get();
  std::string_view rest = full;
  bool ended = true;
  for (size_t slash = rest.find('\\'); slash != std::string_view::npos; slash = rest.find('\\')) {
    const std::string_view segment = rest.substr(0, slash + 1);
    rest.remove_prefix(slash + 1);
    if (matched->children.empty()) {
      ended = rest.find('\\') == std::string_view::npos;
      break;
    }
    TreeNode* found = nullptr;
    for (const std::unique_ptr<TreeNode>& child : matched->children) {
      if (SameText(CandidateName(*child), segment)) {
        found = child.get();
        break;
      }
    }
    if (!found) {
      ended = false;
      break;
    }
    SelectNode(*found);
    ExpandNode(*found);
    matched = found;
  }
  view_.EndUpdate();
  if (ended && !SameText(selectedPath_, full))
    selectedPath_ = full;
}

}  // namespace controls
