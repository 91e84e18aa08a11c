#pragma once
// Form1 on plain Win32: an overlapped window with three EDIT boxes, Timer1
// as a one-shot SetTimer, and a MessageBox as the failure report. Everything
// the meter does happens in the shared window::Form1; this class only
// adapts it to the Win32 API.
//
// Contract:
// - Open registers the class, creates Form1 (client area, position and boxes
//   from window::kForm1 at the display's DPI), starts Timer1 as the window is
//   created, shows it and puts the focus in the first box of the tab order.
// - RunMessageLoop runs until the window is gone and returns the exit status:
//   0 after the user closed the window, the status passed to EndProgram else.
// - Tab and Shift+Tab move through the boxes in tab order (IsDialogMessage).
// - The timer resolution is raised to 1 ms while Timer1 is armed.
// - When the window moves to a display of another DPI, its client area, the
//   boxes and their font are converted again at the new DPI; a resize by the
//   user moves nothing.
#include <windows.h>

#include <chrono>
#include <memory>
#include <string>

#include "edit_box.h"
#include "form1.h"

namespace window_win32 {

class Form1Window final : public window::Form1Front {
 public:
  explicit Form1Window(HINSTANCE instance);
  ~Form1Window() override;
  Form1Window(const Form1Window&) = delete;
  Form1Window& operator=(const Form1Window&) = delete;

  bool Open(int show_command);
  int RunMessageLoop();

  measure::MeterBoxes Boxes() override;
  void ArmTimer1(std::chrono::milliseconds delay) override;
  void StopTimer1() override;
  void ShowFailureReport(const std::string& message) override;
  void EndProgram(int exit_status) override;

 private:
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  BOOL OnCreate(HWND window, LPCREATESTRUCTW create);
  void OnTimer(HWND window, UINT id);
  void OnDpiChanged(HWND window, int dpi, const RECT* suggested);
  void OnDestroy(HWND window);
  void OnNcDestroy(HWND window);

  bool CreateBoxes(HWND window);
  void LayOutBoxes(HWND window);
  EditBox& BoxNamed(std::string_view name);
  void LowerTimerResolution();

  HINSTANCE instance_;
  HWND window_ = nullptr;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  HFONT box_font_ = nullptr;
  EditBox onesamp_;
  EditBox ave_;
  EditBox cnt_;
  std::shared_ptr<window::Form1> form_;
  bool timer_resolution_raised_ = false;
  int exit_status_ = 0;
};

}  // namespace window_win32
