// Windows' own headers, for the platform's Windows parts, and UTF-8 (the program's text
// everywhere) to and from the UTF-16 of Windows' calls. windows.h makes Yield a macro, which the
// window contract has as a method: it is undefined again here.
#pragma once

#include <windows.h>
// After windows.h, which they build on.
#include <shellapi.h>
#include <shlobj.h>
#undef Yield

#include <string>

namespace kraylo {

inline std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

inline std::string Utf8(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length,
                      nullptr, nullptr);
  return text;
}

}  // namespace kraylo
