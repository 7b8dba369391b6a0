#include "platform/win32/Utf16.h"

#include "platform/win32/WinApi.h"

namespace platform::win32 {

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty())
    return {};
  const int size = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
  return wide;
}

std::string Narrow(std::wstring_view utf16) {
  if (utf16.empty())
    return {};
  const int size = static_cast<int>(utf16.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, narrow.data(), length, nullptr, nullptr);
  return narrow;
}

}  // namespace platform::win32
