#pragma once
// The program's texts are UTF-8; the Win32 API wants UTF-16.
#include <string>
#include <string_view>

namespace window_win32 {

std::wstring WideText(std::string_view utf8);

}  // namespace window_win32
