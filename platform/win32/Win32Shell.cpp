#include "platform/win32/Win32Shell.h"

#include "platform/win32/WinApi.h"

#include <objidl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "platform/win32/Utf16.h"

namespace platform::win32 {

namespace {

int Csidl(SpecialFolder folder) {
  switch (folder) {
    case SpecialFolder::Programs:
      return CSIDL_PROGRAMS;
    case SpecialFolder::Desktop:
      return CSIDL_DESKTOPDIRECTORY;
    case SpecialFolder::Personal:
      return CSIDL_PERSONAL;
    case SpecialFolder::SendTo:
      return CSIDL_SENDTO;
    case SpecialFolder::Recent:
      return CSIDL_RECENT;
    case SpecialFolder::AppData:
      return CSIDL_APPDATA;
    case SpecialFolder::Favorites:
      return CSIDL_FAVORITES;
    case SpecialFolder::MyMusic:
      return CSIDL_MYMUSIC;
    case SpecialFolder::MyPictures:
      return CSIDL_MYPICTURES;
    case SpecialFolder::MyVideo:
      return CSIDL_MYVIDEO;
    case SpecialFolder::Startup:
      return CSIDL_STARTUP;
  }
  return CSIDL_PERSONAL;
}

}  // namespace

std::optional<std::string> Win32Shell::BrowseForFolder(std::string_view prompt) {
  const std::wstring title = Widen(prompt);
  BROWSEINFOW info{};
  info.hwndOwner = GetActiveWindow();
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
  if (!chosen)
    return std::nullopt;
  wchar_t path[MAX_PATH] = {};
  const BOOL isPath = SHGetPathFromIDListW(chosen, path);
  CoTaskMemFree(chosen);
  if (!isPath)
    return std::nullopt;
  return Narrow(path);
}

std::string Win32Shell::SpecialFolderPath(SpecialFolder folder) {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, Csidl(folder), nullptr, SHGFP_TYPE_CURRENT, path)))
    return {};
  std::string result = Narrow(path);
  if (result.size() > 3 && result.back() == '\\')
    result.pop_back();
  return result;
}

ShortcutResult Win32Shell::WriteShortcut(const Shortcut& shortcut, std::string_view path) {
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return ShortcutResult::NoShellLink;
  }
  IPersistFile* file = nullptr;
  if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    link->Release();
    return ShortcutResult::NoShellLink;
  }
  // A field the link refuses would be missing from the file; the file is
  // not written then.
  const bool set = SUCCEEDED(link->SetPath(Widen(shortcut.target).c_str())) &&
                   SUCCEEDED(link->SetArguments(Widen(shortcut.arguments).c_str())) &&
                   SUCCEEDED(link->SetWorkingDirectory(Widen(shortcut.workingDirectory).c_str())) &&
                   SUCCEEDED(link->SetDescription(Widen(shortcut.description).c_str()));
  const bool saved = set && SUCCEEDED(file->Save(Widen(path).c_str(), FALSE));
  file->Release();
  link->Release();
  return saved ? ShortcutResult::Saved : ShortcutResult::NotSaved;
}

std::string Win32Shell::ComputerName() {
  PIDLIST_ABSOLUTE computer = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer)))
    return {};
  SHFILEINFOW info = {};
  const DWORD_PTR found = SHGetFileInfoW(reinterpret_cast<LPCWSTR>(computer), 0, &info, sizeof info,
                                         SHGFI_PIDL | SHGFI_DISPLAYNAME);
  CoTaskMemFree(computer);
  return found ? Narrow(info.szDisplayName) : std::string();
}

std::string Win32Shell::DisplayName(std::string_view path) {
  SHFILEINFOW info = {};
  if (!SHGetFileInfoW(Widen(path).c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME))
    return {};
  return Narrow(info.szDisplayName);
}

bool Win32Shell::RenameFolder(std::string_view from, std::string_view to) {
  // Both lists end in a second NUL.
  std::wstring source = Widen(from);
  source.push_back(L'\0');
  std::wstring target = Widen(to);
  target.push_back(L'\0');
  SHFILEOPSTRUCTW operation = {};
  operation.hwnd = GetActiveWindow();
  operation.wFunc = FO_RENAME;
  operation.pFrom = source.c_str();
  operation.pTo = target.c_str();
  operation.fFlags = FOF_ALLOWUNDO;
  return SHFileOperationW(&operation) == 0 && !operation.fAnyOperationsAborted;
}

void Win32Shell::OpenAddress(std::string_view address) {
  // The default verb of the address, no owner window; the program that takes
  // the address shows its own window whatever the show command says.
  ShellExecuteW(nullptr, nullptr, Widen(address).c_str(), nullptr, nullptr, SW_HIDE);
}

}  // namespace platform::win32
