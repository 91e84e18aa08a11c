#include "form1_window.h"

#include <windowsx.h>
#include <mmsystem.h>

#include "control_ids.h"
#include "form_description.h"
#include "resource_ids.h"
#include "wide_text.h"

namespace window_win32 {
namespace {

constexpr UINT_PTR kTimer1Id = 1;
constexpr wchar_t kProgramName[] = L"tickmeter";
constexpr DWORD kFormStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD kFormExtendedStyle = 0;
constexpr DWORD kBoxStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_RIGHT | ES_AUTOHSCROLL;
constexpr DWORD kBoxExtendedStyle = WS_EX_CLIENTEDGE;

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
// void OnDpiChanged(HWND window, int dpi, const RECT* suggested)
#define HANDLE_WM_DPICHANGED(window, wParam, lParam, fn) \
  ((fn)((window), static_cast<int>(HIWORD(wParam)), reinterpret_cast<const RECT*>(lParam)), 0L)

static_assert(window::kForm1.background_system_colour == COLOR_HIGHLIGHT,
              "the description's system colour numbers are Win32's");

// A function of a system library that older Windows versions lack; null there.
template <typename Function>
Function SystemFunction(const wchar_t* module_name, const char* function_name) {
  const HMODULE module = GetModuleHandleW(module_name);
  if (module == nullptr) return nullptr;
  // Through void(*)(), the one conversion between function types GCC accepts quietly.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, function_name)));
}

int SystemDpi() {
  using GetDpiForSystemFunction = UINT(WINAPI*)();
  if (const auto get_dpi = SystemFunction<GetDpiForSystemFunction>(L"user32.dll", "GetDpiForSystem")) {
    return static_cast<int>(get_dpi());
  }
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

// The outer rectangle of a window whose client area is `client`.
RECT FrameAround(const window::PixelRect& client, int dpi) {
  RECT frame{client.left, client.top, client.left + client.width, client.top + client.height};
  using AdjustForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  if (const auto adjust = SystemFunction<AdjustForDpiFunction>(L"user32.dll", "AdjustWindowRectExForDpi")) {
    adjust(&frame, kFormStyle, FALSE, kFormExtendedStyle, static_cast<UINT>(dpi));
  } else {
    AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExtendedStyle);
  }
  return frame;
}

// The system's message font at `dpi`: what dialogs show their controls in.
HFONT CreateBoxFont(int dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  using ParametersForDpiFunction = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
  if (const auto parameters_for_dpi =
          SystemFunction<ParametersForDpiFunction>(L"user32.dll", "SystemParametersInfoForDpi")) {
    parameters_for_dpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi));
  } else {
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  }
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

// Timer1 must not be merged with other timers by the system, or it drifts
// off its deadlines; SetCoalescableTimer says so where the system has it.
UINT_PTR SetPreciseTimer(HWND window, UINT_PTR id, UINT delay_ms) {
  using SetCoalescableTimerFunction = UINT_PTR(WINAPI*)(HWND, UINT_PTR, UINT, TIMERPROC, ULONG);
  static const auto set_coalescable_timer =
      SystemFunction<SetCoalescableTimerFunction>(L"user32.dll", "SetCoalescableTimer");
  constexpr ULONG kNoCoalescing = 0xFFFFFFFF;  // TIMERV_NO_COALESCING
  if (set_coalescable_timer) return set_coalescable_timer(window, id, delay_ms, nullptr, kNoCoalescing);
  return SetTimer(window, id, delay_ms, nullptr);
}

}  // namespace

Form1Window::Form1Window(HINSTANCE instance) : instance_(instance) {}

Form1Window::~Form1Window() {
  if (window_ != nullptr) DestroyWindow(window_);
  LowerTimerResolution();
  if (box_font_ != nullptr) DeleteObject(box_font_);
}

bool Form1Window::Open(int show_command) {
  const std::wstring class_name = WideText(window::kForm1.name);
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = WindowProcedure;
  window_class.hInstance = instance_;
  window_class.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_TICKMETER));
  window_class.hIconSm = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_TICKMETER), IMAGE_ICON,
                                                       GetSystemMetrics(SM_CXSMICON),
                                                       GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground =
      reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(window::kForm1.background_system_colour + 1));
  window_class.lpszClassName = class_name.c_str();
  if (RegisterClassExW(&window_class) == 0) return false;

  dpi_ = SystemDpi();
  const RECT frame = FrameAround(window::ToPixels(window::kForm1.client_area, dpi_), dpi_);
  const HWND window = CreateWindowExW(kFormExtendedStyle, class_name.c_str(),
                                      WideText(window::kForm1.caption).c_str(), kFormStyle, frame.left,
                                      frame.top, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                      nullptr, instance_, this);
  if (window == nullptr) return false;
  ShowWindow(window, show_command);
  UpdateWindow(window);
  SetFocus(GetNextDlgTabItem(window, nullptr, FALSE));
  return true;
}

int Form1Window::RunMessageLoop() {
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (window_ != nullptr && IsDialogMessageW(window_, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return message.message == WM_QUIT ? static_cast<int>(message.wParam) : exit_status_;
}

measure::MeterBoxes Form1Window::Boxes() { return {cnt_, onesamp_, ave_}; }

void Form1Window::ArmTimer1(std::chrono::milliseconds delay) {
#ifdef TICKMETER_NAIVE_TIMER
  // The benchmarks' baseline, never shipped: Timer1 is one plain periodic
  // SetTimer at the system's own resolution, set as Form1 is created (form_ is
  // not assigned yet) and never re-armed; OnTimer takes every expiry as a tick.
  if (!form_) SetTimer(window_, kTimer1Id, static_cast<UINT>(delay.count()), nullptr);
#else
  if (!timer_resolution_raised_) timer_resolution_raised_ = timeBeginPeriod(1) == TIMERR_NOERROR;
  // The same ID replaces the timer that has just fired.
  SetPreciseTimer(window_, kTimer1Id, static_cast<UINT>(delay.count()));
#endif
}

void Form1Window::StopTimer1() {
  if (window_ != nullptr) KillTimer(window_, kTimer1Id);
  LowerTimerResolution();
}

void Form1Window::ShowFailureReport(const std::string& message) {
  MessageBoxW(window_, WideText(message).c_str(), kProgramName, MB_OK | MB_ICONERROR);
}

void Form1Window::EndProgram(int exit_status) {
  exit_status_ = exit_status;
  if (window_ != nullptr) {
    DestroyWindow(window_);
  } else {
    PostQuitMessage(exit_status);
  }
}

LRESULT CALLBACK Form1Window::WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<Form1Window*>(reinterpret_cast<LPCREATESTRUCTW>(lparam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Form1Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  return self->HandleMessage(window, message, wparam, lparam);
}

// HANDLE_MSG expects the parameters to be named wParam and lParam.
LRESULT Form1Window::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    HANDLE_MSG(window, WM_CREATE, OnCreate);
    HANDLE_MSG(window, WM_TIMER, OnTimer);
    HANDLE_MSG(window, WM_DPICHANGED, OnDpiChanged);
    HANDLE_MSG(window, WM_DESTROY, OnDestroy);
    HANDLE_MSG(window, WM_NCDESTROY, OnNcDestroy);
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

// Set-up order: Form1, then Timer1 (running from here on), then the boxes.
BOOL Form1Window::OnCreate(HWND window, LPCREATESTRUCTW /*create*/) {
  form_ = window::Form1::Create(*this);
  return CreateBoxes(window) ? TRUE : FALSE;
}

void Form1Window::OnTimer(HWND window, UINT id) {
  if (id != kTimer1Id) return;
#ifdef TICKMETER_NAIVE_TIMER
  if (form_) form_->OnTimer1(form_->schedule().next_deadline());
#else
  KillTimer(window, kTimer1Id);  // one-shot: the tick re-arms it
  if (form_) form_->OnTimer1();
#endif
}

void Form1Window::OnDpiChanged(HWND window, int dpi, const RECT* suggested) {
  dpi_ = dpi;
  const window::PixelRect client = window::ToPixels(window::kForm1.client_area, dpi_);
  const RECT frame = FrameAround({0, 0, client.width, client.height}, dpi_);
  SetWindowPos(window, nullptr, suggested->left, suggested->top, frame.right - frame.left,
               frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
  LayOutBoxes(window);
}

void Form1Window::OnDestroy(HWND /*window*/) {
  StopTimer1();
  // A tick that is running keeps its own reference until it returns.
  form_.reset();
  PostQuitMessage(exit_status_);
}

void Form1Window::OnNcDestroy(HWND window) {
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  window_ = nullptr;
  for (EditBox* box : {&cnt_, &onesamp_, &ave_}) box->Attach(nullptr);
}

bool Form1Window::CreateBoxes(HWND window) {
  for (const window::DisplayBoxDescription& box : window::kForm1.boxes) {
    const HWND control = CreateWindowExW(
        kBoxExtendedStyle, L"EDIT", L"", kBoxStyle, 0, 0, 0, 0, window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(BoxControlId(box.name))), instance_, nullptr);
    if (control == nullptr) return false;
    BoxNamed(box.name).Attach(control);
  }
  LayOutBoxes(window);
  // The dialog manager tabs through the children in z-order: stack them in tab order.
  HWND previous = HWND_TOP;
  for (const window::DisplayBoxDescription& box : window::BoxesInTabOrder(window::kForm1)) {
    const HWND control = GetDlgItem(window, BoxControlId(box.name));
    SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = control;
  }
  return true;
}

// Places the boxes and sets their font at the current DPI.
void Form1Window::LayOutBoxes(HWND window) {
  const HFONT old_font = box_font_;
  box_font_ = CreateBoxFont(dpi_);
  for (const window::DisplayBoxDescription& box : window::kForm1.boxes) {
    const HWND control = GetDlgItem(window, BoxControlId(box.name));
    const window::PixelRect place = window::ToPixels(box.rect, dpi_);
    SetWindowPos(control, nullptr, place.left, place.top, place.width, place.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowFont(control, box_font_, TRUE);
  }
  if (old_font != nullptr) DeleteObject(old_font);
}

EditBox& Form1Window::BoxNamed(std::string_view name) {
  if (name == "cnt") return cnt_;
  if (name == "onesamp") return onesamp_;
  return ave_;
}

void Form1Window::LowerTimerResolution() {
  if (timer_resolution_raised_) timeEndPeriod(1);
  timer_resolution_raised_ = false;
}

}  // namespace window_win32
