// A message box of the program's: a character's own, or the version box.
#pragma once

#include <string>

class Program;

// Shows a box with only an OK button and returns when it is closed. Both
// characters leave the topmost band first and the frames drawn while the
// box is open keep them out of it (ticks and rides go on meanwhile), so
// that neither covers the box; afterwards they return to the band. The
// focus stays where it was.
void characterMessageBox(Program& app, const std::string& text, const std::string& title);

// The same for any other window of the program's that the characters must
// not cover (the rate dialog), opened and closed by its own code: before it
// shows, and after it is gone. Such windows and boxes may nest.
void keepBelowOpened(Program& app);
void keepBelowClosed(Program& app);
