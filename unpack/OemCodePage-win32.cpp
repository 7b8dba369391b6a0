#include <windows.h>

#include <string>

#include "unpack/OemCodePage.h"

namespace unpack {

unsigned OemCodePage() {
  return GetOEMCP();
}

std::string OemToUtf8(std::string_view text) {
  if (text.empty())
    return {};
  const int size = static_cast<int>(text.size());
  const int wideLength = MultiByteToWideChar(CP_OEMCP, 0, text.data(), size, nullptr, 0);
  if (wideLength <= 0)
    return {};
  std::wstring wide(static_cast<size_t>(wideLength), L'\0');
  MultiByteToWideChar(CP_OEMCP, 0, text.data(), size, wide.data(), wideLength);
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  if (length <= 0)
    return {};
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

}  // namespace unpack
