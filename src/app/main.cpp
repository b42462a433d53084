// The program's entry point on Windows: start-up, then the one message loop.
#include "windows/program.h"

#include "platform/win32/win32.h"
#include "platform/win32/win32_platform.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  platform::win32::Win32Platform os;
  try {
    Program program(os);
    program.start();
    // Everything after start-up is driven from here: the thread sleeps in
    // GetMessage until there is something to do.
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
  } catch (...) {
    return 1;
  }
}
