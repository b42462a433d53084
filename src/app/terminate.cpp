// What happens when the C++ runtime must end the program.
//
// The runtime's default handler prints the type of the exception that was
// not caught, demangling its name first; that brings a name demangler and
// printf into the program (about 50 KB) for a text that a GUI program
// without a console never shows. Nothing is caught outside the window
// procedures' guards, so ending at once and silently is all that is left.
#include "platform/win32/win32.h"

namespace __gnu_cxx {

void __verbose_terminate_handler() { TerminateProcess(GetCurrentProcess(), 3); }

}  // namespace __gnu_cxx
