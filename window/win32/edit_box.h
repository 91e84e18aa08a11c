#pragma once
// A display box on a Win32 EDIT control.
#include <windows.h>

#include <string>

#include "tick_sampler.h"

namespace window_win32 {

class EditBox final : public measure::TextBox {
 public:
  void Attach(HWND control) { control_ = control; }

  // Replaces the whole text; false when the control refuses it (or is gone).
  bool ReplaceText(const std::string& text) override;

 private:
  HWND control_ = nullptr;
};

}  // namespace window_win32
