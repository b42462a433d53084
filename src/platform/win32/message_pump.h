// Nested event processing: one pass over the pending messages, paced passes
// that wait instead of spinning, and the short settling wait before the
// screen is read.
#pragma once

namespace platform::win32 {

// Milliseconds from a high-resolution clock (fractions included).
double nowMs();

// Dispatches the messages pending now and returns.
void pumpPending();

// One pass of the program's event processing: pumpPending, after waiting out
// (while dispatching) what is left of the settling time of a window just
// uncovered. A drawing runs its passes between taking its window away and
// reading the screen, so the read then finds the screen settled.
void pumpSettled();

// `passes` passes spread over `totalMs` of real time.
void pumpPaced(int passes, int totalMs);

// A character window was just collapsed, resized, moved or hidden: what it
// uncovered is being repainted by whoever owns it, possibly another process.
void noteUncovered();

// The waits of a screen capture. A capture runs while a drawing holds the
// screen's device context, where no handler of the program may run: these
// dispatch no message at all (no PeekMessage, which would also run messages
// sent by other threads); they only repaint this thread's own windows.

// Waits this long.
void waitForRepaint(double ms);

// Waits until the last uncovering is old enough for the screen to show what
// lies beneath (normally the drawing's event passes have waited already).
void settleBeforeScreenRead();

}  // namespace platform::win32
