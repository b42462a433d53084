// rer's visit, and his ride across the screen.
#include "module/Module1.h"
#include "windows/behaviour.h"
#include "windows/pekkoForm.h"
#include "windows/program.h"
#include "windows/rionForm.h"

using namespace platform;

// rer's visit is not staged yet: the visit ends as soon as it starts, and
// the next tick chooses a new activity.
void pekkoForm::RionVisit() { app_.m.actStep = 0; }

// One step of rer's ride: his window moves to the left, shows him (alone,
// or with ペッコ on the board), and events run for about 40 ms, counted
// in passes, so that the ride has the same pace on every machine.
void pekkoForm::rideStep(std::int16_t cell) {
  Window& rion = app_.rion().form();
  rion.setLeft(rion.left() - kRionStep);
  BBfun3(cell);
  app_.os.doEventsPaced(kRionPasses, kRionPaceMs);
}

void pekkoForm::GoRion() { rideStep(0); }
void pekkoForm::GoRion2() { rideStep(10); }
