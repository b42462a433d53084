// The program's entry point on Windows: the logic on the real platform,
// started, then the platform's message loop until the program quits.
#include "windows/program.h"

#include "platform/win32/win32.h"
#include "platform/win32/win32_platform.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  platform::win32::Win32Platform os;
  try {
    Program program(os);
    program.start();
    // Everything after start-up is driven from here: the thread sleeps
    // until there is something to do.
    return os.run();
  } catch (...) {
    return 1;
  }
}
