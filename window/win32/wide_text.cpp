#include "wide_text.h"

#include <windows.h>

namespace window_win32 {

std::wstring WideText(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int utf8_length = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), utf8_length, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), utf8_length, wide.data(), length);
  return wide;
}

}  // namespace window_win32
