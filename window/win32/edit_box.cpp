#include "edit_box.h"

#include "wide_text.h"

namespace window_win32 {

bool EditBox::ReplaceText(const std::string& text) {
  return SetWindowTextW(control_, WideText(text).c_str()) != FALSE;
}

}  // namespace window_win32
