#include "controls/DirTreeControl.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstdlib>
#include <exception>
#include <optional>
#include <string>

#include "controls/ExceptionDisplay.h"
#include "core/DesignLayout.h"
#include "platform/win32/Utf16.h"

namespace controls {

namespace {

using platform::win32::Narrow;
using platform::win32::Widen;

// The shell's small icon of a path, or of the computer folder for the empty
// path; the "open" icon when `open`.
int IconIndex(const std::string& path, bool open) {
  SHFILEINFOW info = {};
  const UINT flags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON | (open ? SHGFI_OPENICON : 0);
  if (path.empty()) {
    PIDLIST_ABSOLUTE computer = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer)))
      return 0;
    SHGetFileInfoW(reinterpret_cast<LPCWSTR>(computer), 0, &info, sizeof info, flags | SHGFI_PIDL);
    CoTaskMemFree(computer);
  } else {
    SHGetFileInfoW(Widen(path).c_str(), 0, &info, sizeof info, flags);
  }
  return info.iIcon;
}

// IImageList, which SHGetImageList hands out; mingw's uuid library lacks it.
constexpr GUID kImageListInterface = {
    0x46eb5926, 0x582e, 0x4017, {0x9f, 0xdf, 0xe8, 0x99, 0x8d, 0xaa, 0x09, 0x50}};

// A small icon and the indent of a level at 96 DPI.
constexpr int kSmallIcon = 16;
constexpr int kIndent = 19;

// The width of the icons of a list; 0 for none.
int IconSize(HIMAGELIST icons) {
  int width = 0;
  int height = 0;
  if (icons)
    ImageList_GetIconSize(icons, &width, &height);
  return width;
}

// The shell's lists of icons hold the same icons at each of their sizes, by
// the same indexes; they belong to the shell and the tree view never
// destroys them. Of the small icons (which Windows makes for the system
// DPI) and the shell's other lists, the one whose icons come closest to
// `size` pixels.
HIMAGELIST SystemIcons(int size) {
  SHFILEINFOW info = {};
  auto chosen = reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  int distance = std::abs(IconSize(chosen) - size);
  for (int list : {SHIL_SMALL, SHIL_LARGE, SHIL_EXTRALARGE, SHIL_JUMBO}) {
    HIMAGELIST icons = nullptr;
    if (FAILED(SHGetImageList(list, kImageListInterface, reinterpret_cast<void**>(&icons))) ||
        !icons)
      continue;
    if (const int d = std::abs(IconSize(icons) - size); d < distance) {
      chosen = icons;
      distance = d;
    }
  }
  return chosen;
}

TreeNode* NodeOf(LPARAM param) {
  return reinterpret_cast<TreeNode*>(param);
}

}  // namespace

DirTreeControl::DirTreeControl(platform::Platform& platform) : tree_(platform, *this) {}

DirTreeControl::~DirTreeControl() {
  if (hwnd_)
    RemoveWindowSubclass(hwnd_, &DirTreeControl::InputProc, 0);
}

void DirTreeControl::Create(HWND parent, int x, int y, int width, int height) {
  hwnd_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
                          WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES |
                              TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_EDITLABELS,
                          x, y, width, height, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!hwnd_)
    return;
  SetWindowSubclass(hwnd_, &DirTreeControl::InputProc, 0, reinterpret_cast<DWORD_PTR>(this));
  tree_.Fill();
}

void DirTreeControl::SetDpi(int dpi) {
  if (!hwnd_)
    return;
  TreeView_SetImageList(hwnd_, SystemIcons(core::ScaleToDpi(kSmallIcon, dpi)), TVSIL_NORMAL);
  TreeView_SetIndent(hwnd_, core::ScaleToDpi(kIndent, dpi));
}

void DirTreeControl::BeginUpdate() {
  if (hwnd_ && updates_++ == 0)
    SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
}

void DirTreeControl::EndUpdate() {
  if (hwnd_ && updates_ > 0 && --updates_ == 0) {
    SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
  }
}

void DirTreeControl::Insert(TreeNode& node, HTREEITEM parent) {
  const std::wstring text = Widen(node.text);
  const std::string path = tree_.NodePath(node);
  TVINSERTSTRUCTW insert = {};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  insert.item.pszText = const_cast<LPWSTR>(text.c_str());
  insert.item.lParam = reinterpret_cast<LPARAM>(&node);
  insert.item.cChildren = node.hasChildren || !node.children.empty() ? 1 : 0;
  insert.item.iImage = IconIndex(path, false);
  insert.item.iSelectedImage =
      node.kind == TreeNode::Kind::Computer ? insert.item.iImage : IconIndex(path, true);
  node.item = TreeView_InsertItem(hwnd_, &insert);
}

void DirTreeControl::Reset(TreeNode& top) {
  if (!hwnd_)
    return;
  TreeView_DeleteAllItems(hwnd_);
  Insert(top, TVI_ROOT);
}

void DirTreeControl::ChildrenAdded(TreeNode& parent) {
  if (!hwnd_ || !parent.item)
    return;
  for (const auto& child : parent.children) {
    if (!child->item)
      Insert(*child, static_cast<HTREEITEM>(parent.item));
  }
}

void DirTreeControl::NodeChanged(TreeNode& node) {
  if (!hwnd_ || !node.item)
    return;
  const std::wstring text = Widen(node.text);
  TVITEMW item = {};
  item.mask = TVIF_TEXT | TVIF_CHILDREN;
  item.hItem = static_cast<HTREEITEM>(node.item);
  item.pszText = const_cast<LPWSTR>(text.c_str());
  item.cChildren = node.hasChildren || !node.children.empty() ? 1 : 0;
  TreeView_SetItem(hwnd_, &item);
}

void DirTreeControl::Select(TreeNode& node) {
  if (hwnd_ && node.item)
    TreeView_SelectItem(hwnd_, static_cast<HTREEITEM>(node.item));
}

void DirTreeControl::Expand(TreeNode& node) {
  if (hwnd_ && node.item)
    TreeView_Expand(hwnd_, static_cast<HTREEITEM>(node.item), TVE_EXPAND);
}

void DirTreeControl::CollapseAll(TreeNode& node) {
  if (!hwnd_ || !node.item)
    return;
  for (const auto& child : node.children)
    CollapseAll(*child);
  TreeView_Expand(hwnd_, static_cast<HTREEITEM>(node.item), TVE_COLLAPSE);
}

void DirTreeControl::Beep() {
  MessageBeep(MB_ICONHAND);
}

bool DirTreeControl::Notify(const NMHDR& header, LRESULT& result) {
  switch (header.code) {
    case TVN_ITEMEXPANDINGW: {
      const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
      if ((change.action & TVE_EXPAND) && change.itemNew.lParam)
        tree_.Expanding(*NodeOf(change.itemNew.lParam));
      result = FALSE;
      return true;
    }
    case TVN_SELCHANGEDW: {
      const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
      tree_.SelectionMoved(change.itemNew.hItem ? NodeOf(change.itemNew.lParam) : nullptr);
      result = 0;
      return true;
    }
    case TVN_BEGINLABELEDITW: {
      const auto& edit = reinterpret_cast<const NMTVDISPINFOW&>(header);
      // TRUE refuses the edit.
      result = edit.item.lParam && tree_.CanEditLabel(*NodeOf(edit.item.lParam)) ? FALSE : TRUE;
      return true;
    }
    case TVN_ENDLABELEDITW: {
      const auto& edit = reinterpret_cast<const NMTVDISPINFOW&>(header);
      if (edit.item.lParam) {
        std::optional<std::string> name;
        if (edit.item.pszText)
          name = Narrow(edit.item.pszText);
        tree_.EndLabelEdit(*NodeOf(edit.item.lParam), name);
      }
      // A new label has been set by the tree already when the rename went
      // through.
      result = FALSE;
      return true;
    }
    default:
      return false;
  }
}

LRESULT CALLBACK DirTreeControl::InputProc(HWND, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR data) {
  auto* control = reinterpret_cast<DirTreeControl*>(data);
  try {
    return control->HandleInput(msg, wParam, lParam);
  } catch (const std::exception& error) {
    ShowException(error);
  }
  return 0;
}

LRESULT DirTreeControl::HandleInput(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_GETDLGCODE: {
      // Enter chooses the selection here instead of pressing the page's
      // default button.
      const auto* pending = reinterpret_cast<const MSG*>(lParam);
      const LRESULT code = DefSubclassProc(hwnd_, msg, wParam, lParam);
      if (pending && pending->message == WM_KEYDOWN && pending->wParam == VK_RETURN)
        return code | DLGC_WANTMESSAGE;
      return code;
    }
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        tree_.EnterPressed();
        return 0;
      }
      break;
    case WM_KEYUP: {
      const LRESULT result = DefSubclassProc(hwnd_, msg, wParam, lParam);
      Report(core::UiEvent::KeyUp);
      return result;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
      const LRESULT result = DefSubclassProc(hwnd_, msg, wParam, lParam);
      AfterButtonDown(msg == WM_LBUTTONDOWN, lParam);
      return result;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
      const LRESULT result = DefSubclassProc(hwnd_, msg, wParam, lParam);
      if (releasePending_) {
        releasePending_ = false;
        Report(core::UiEvent::MouseUp);
      }
      return result;
    }
    default:
      break;
  }
  return DefSubclassProc(hwnd_, msg, wParam, lParam);
}

void DirTreeControl::AfterButtonDown(bool left, LPARAM point) {
  if (left) {
    TVHITTESTINFO hit = {};
    hit.pt = {static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
    HTREEITEM item = TreeView_HitTest(hwnd_, &hit);
    if (item && (hit.flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL))) {
      TVITEMW data = {};
      data.mask = TVIF_PARAM;
      data.hItem = item;
      if (TreeView_GetItem(hwnd_, &data) && data.lParam)
        tree_.Clicked(*NodeOf(data.lParam));
    }
  }
  // The tree view follows the mouse while the button is down and usually
  // takes the release itself.
  const int button = left ? VK_LBUTTON : VK_RBUTTON;
  if (GetAsyncKeyState(button) & 0x8000) {
    releasePending_ = true;
  } else {
    releasePending_ = false;
    Report(core::UiEvent::MouseUp);
  }
}

}  // namespace controls
