// Nested event processing: one pass over the pending messages, paced passes
// that wait instead of spinning, and the short settling wait before the
// screen is read.
#pragma once

namespace platform::win32 {

// Milliseconds from a high-resolution clock (fractions included).
double nowMs();

// Dispatches the messages pending now and returns.
void pumpPending();

// `passes` passes spread over `totalMs` of real time.
void pumpPaced(int passes, int totalMs);

// A character window was just collapsed, resized, moved or hidden: what it
// uncovered is being repainted by whoever owns it, possibly another process.
void noteUncovered();

// Waits this long, handling only paint and sent messages.
void waitForRepaint(double ms);

// Waits, handling paint and sent messages, until the last uncovering is
// old enough for the screen to show what lies beneath.
void settleBeforeScreenRead();

}  // namespace platform::win32
