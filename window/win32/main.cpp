// tickmeter.exe: opens Form1 and runs until it is closed. Reads no command line.
#include <windows.h>

#include "form1_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*command_line*/, int show_command) {
  window_win32::Form1Window form1(instance);
  if (!form1.Open(show_command)) return 1;
  return form1.RunMessageLoop();
}
