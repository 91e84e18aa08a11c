// form1_probe: looks at a running tickmeter from outside, as the end-to-end
// tests need it. Every command waits up to a few seconds for Form1 to appear.
//
//   form1_probe texts                 one line: cnt=<text> onesamp=<text> ave=<text>
//   form1_probe watch <ms>            for <ms> after Form1 appears, a line
//                                     "<Unix time in ms> <texts>" at every
//                                     change of the texts, the first included
//   form1_probe focus <tab|shift-tab> <n>
//                                     the box with the focus, then the box after
//                                     each of <n> key presses: "cnt ave ..."
//   form1_probe layout                dpi=<screen dpi> client=<left,top,width,height
//                                     on the screen> cnt=<left,top,width,height in
//                                     the client area> onesamp=... ave=...
//   form1_probe resize <w> <h>        gives Form1's frame this size, as a user would
//   form1_probe await-report <ms>     waits for a "tickmeter" report; prints the
//                                     Unix time in ms of the last look that found
//                                     none (0 if the first look found one), and
//                                     the texts when it came
//   form1_probe reports               count=<number of "tickmeter" reports>
//                                     text=<the first one's message>
//   form1_probe dismiss               presses OK on the report
//   form1_probe close                 closes Form1
// Exit status 0, or 1 with a message on standard error.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "control_ids.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct Box {
  const char* name;
  int id;
};
constexpr Box kBoxes[] = {{"cnt", window_win32::kCntControlId},
                          {"onesamp", window_win32::kOnesampControlId},
                          {"ave", window_win32::kAveControlId}};

[[noreturn]] void Fail(const std::string& message) {
  std::fprintf(stderr, "form1_probe: %s\n", message.c_str());
  std::exit(1);
}

std::string Narrow(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length, nullptr,
                      nullptr);
  return text;
}

std::wstring WindowText(HWND window) {
  wchar_t text[512] = {};
  // WM_GETTEXT works across processes, unlike GetWindowText on a control.
  const LRESULT length = SendMessageW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text));
  return std::wstring(text, static_cast<std::size_t>(length));
}

std::wstring ClassName(HWND window) {
  wchar_t name[256] = {};
  return std::wstring(name, static_cast<std::size_t>(GetClassNameW(window, name, std::size(name))));
}

HWND WaitForForm1() {
  const auto give_up = Clock::now() + 15s;
  for (;;) {
    const HWND form = FindWindowW(L"Form1", L"Form1");
    if (form != nullptr && IsWindowVisible(form)) return form;
    if (Clock::now() > give_up) Fail("no visible window \"Form1\"");
    std::this_thread::sleep_for(20ms);
  }
}

std::string ReadTextsOnce(HWND form) {
  std::string line;
  for (const Box& box : kBoxes) {
    const HWND control = GetDlgItem(form, box.id);
    if (control == nullptr) Fail(std::string("Form1 has no box ") + box.name);
    if (!line.empty()) line += ' ';
    line += std::string(box.name) + "=" + Narrow(WindowText(control));
  }
  return line;
}

// The three boxes are read one after another, so a tick can fall between
// two of the reads; two equal readings in a row are the texts of one moment.
std::string Texts(HWND form) {
  std::string previous = ReadTextsOnce(form);
  for (;;) {
    std::string texts = ReadTextsOnce(form);
    if (texts == previous) return texts;
    previous = std::move(texts);
  }
}

BOOL CALLBACK CollectReport(HWND window, LPARAM found) {
  if (ClassName(window) == L"#32770" && WindowText(window) == L"tickmeter" && IsWindowVisible(window)) {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  }
  return TRUE;
}

std::vector<HWND> Reports() {
  std::vector<HWND> reports;
  EnumWindows(CollectReport, reinterpret_cast<LPARAM>(&reports));
  return reports;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM collected) {
  if (_wcsicmp(ClassName(child).c_str(), L"Static") == 0) {
    *reinterpret_cast<std::wstring*>(collected) += WindowText(child);
  }
  return TRUE;
}

// The message of a message box: the text of its static controls.
std::string ReportText(HWND report) {
  std::wstring text;
  EnumChildWindows(report, CollectStaticText, reinterpret_cast<LPARAM>(&text));
  return Narrow(text);
}

std::string FocusedBox(HWND form) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &info)) Fail("GetGUIThreadInfo failed");
  for (const Box& box : kBoxes) {
    if (info.hwndFocus != nullptr && info.hwndFocus == GetDlgItem(form, box.id)) return box.name;
  }
  return info.hwndFocus == form ? "Form1" : "none";
}

void PressKey(WORD key, bool down) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
  SendInput(1, &input, sizeof input);
}

void PressTab(bool shift) {
  if (shift) PressKey(VK_SHIFT, true);
  PressKey(VK_TAB, true);
  PressKey(VK_TAB, false);
  if (shift) PressKey(VK_SHIFT, false);
}

int Milliseconds(const char* text) { return std::atoi(text); }

// Milliseconds since 1970, comparable with the shell's `date +%s%3N`.
long long UnixMilliseconds() {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  const ULONGLONG ticks = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  constexpr ULONGLONG kTicksFrom1601To1970 = 116444736000000000ULL;
  return static_cast<long long>((ticks - kTicksFrom1601To1970) / 10000);
}

int Watch(int duration_ms) {
  const HWND form = WaitForForm1();
  const auto start = Clock::now();
  std::string last;
  while (Clock::now() - start < std::chrono::milliseconds(duration_ms)) {
    const long long look = UnixMilliseconds();
    const std::string texts = Texts(form);
    if (texts != last) {
      std::printf("%lld %s\n", look, texts.c_str());
      std::fflush(stdout);
      last = texts;
    }
    std::this_thread::sleep_for(20ms);
  }
  return 0;
}

int Focus(bool shift, int presses) {
  const HWND form = WaitForForm1();
  SetForegroundWindow(form);
  std::string order = FocusedBox(form);
  for (int i = 0; i < presses; ++i) {
    const std::string before = FocusedBox(form);
    PressTab(shift);
    std::string after = before;
    for (const auto give_up = Clock::now() + 2s; after == before && Clock::now() < give_up;) {
      std::this_thread::sleep_for(20ms);
      after = FocusedBox(form);
    }
    order += " " + after;
  }
  std::printf("%s\n", order.c_str());
  return 0;
}

std::string RectText(const RECT& rect) {
  return std::to_string(rect.left) + "," + std::to_string(rect.top) + "," + std::to_string(rect.right - rect.left) +
         "," + std::to_string(rect.bottom - rect.top);
}

int Layout() {
  const HWND form = WaitForForm1();
  const HDC screen = GetDC(nullptr);
  std::string line = "dpi=" + std::to_string(GetDeviceCaps(screen, LOGPIXELSY));
  ReleaseDC(nullptr, screen);
  RECT client{};
  GetClientRect(form, &client);
  MapWindowPoints(form, nullptr, reinterpret_cast<POINT*>(&client), 2);
  line += " client=" + RectText(client);
  for (const Box& box : kBoxes) {
    RECT place{};
    GetWindowRect(GetDlgItem(form, box.id), &place);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&place), 2);
    line += std::string(" ") + box.name + "=" + RectText(place);
  }
  std::printf("%s\n", line.c_str());
  return 0;
}

int Resize(int width, int height) {
  const HWND form = WaitForForm1();
  SetWindowPos(form, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return 0;
}

int AwaitReport(int timeout_ms) {
  const HWND form = WaitForForm1();
  const auto start = Clock::now();
  long long last_look_without_report = 0;
  for (;;) {
    const long long look = UnixMilliseconds();
    if (!Reports().empty()) break;
    last_look_without_report = look;
    if (Clock::now() - start > std::chrono::milliseconds(timeout_ms)) Fail("no \"tickmeter\" report");
    std::this_thread::sleep_for(20ms);
  }
  std::printf("%lld %s\n", last_look_without_report, Texts(form).c_str());
  return 0;
}

int ListReports() {
  const std::vector<HWND> reports = Reports();
  std::printf("count=%zu\n", reports.size());
  if (!reports.empty()) std::printf("text=%s\n", ReportText(reports.front()).c_str());
  return 0;
}

int Dismiss() {
  const std::vector<HWND> reports = Reports();
  if (reports.empty()) Fail("no \"tickmeter\" report to dismiss");
  PostMessageW(reports.front(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  return 0;
}

int Close() {
  PostMessageW(WaitForForm1(), WM_CLOSE, 0, 0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  // Plain \n line ends, for the scripts that read the output.
  _setmode(_fileno(stdout), _O_BINARY);
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "texts" && argc == 2) {
    std::printf("%s\n", Texts(WaitForForm1()).c_str());
    return 0;
  }
  if (command == "watch" && argc == 3) return Watch(Milliseconds(argv[2]));
  if (command == "focus" && argc == 4) return Focus(std::string(argv[2]) == "shift-tab", std::atoi(argv[3]));
  if (command == "layout" && argc == 2) return Layout();
  if (command == "resize" && argc == 4) return Resize(std::atoi(argv[2]), std::atoi(argv[3]));
  if (command == "await-report" && argc == 3) return AwaitReport(Milliseconds(argv[2]));
  if (command == "reports" && argc == 2) return ListReports();
  if (command == "dismiss" && argc == 2) return Dismiss();
  if (command == "close" && argc == 2) return Close();
  Fail("usage: form1_probe texts | watch <ms> | focus <tab|shift-tab> <n> | layout | resize <w> <h> | "
       "await-report <ms> | "
       "reports | dismiss | close");
}
