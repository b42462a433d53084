// A message box of a character's own.
#pragma once

#include <string>

#include "platform/platform.h"

// Shows a box with only an OK button and returns when it is closed. The
// character's window leaves the topmost band meanwhile, so that it cannot
// hide the box, and returns to it afterwards; the focus stays where it was.
void characterMessageBox(platform::Platform& os, platform::Window& character, const std::string& text,
                         const std::string& title);
