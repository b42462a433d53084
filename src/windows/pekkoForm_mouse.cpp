// The mouse on ペッコ: the clock as a tooltip and in a message box, and the
// drag through the system's own move loop.
#include "windows/behaviour.h"
#include "windows/character_box.h"
#include "windows/clock_text.h"
#include "windows/pekkoForm.h"
#include "windows/program.h"

using namespace platform;

void pekkoForm::Image1_Click() {
  // The date is read before he leaves the topmost band, the text built after.
  const DateTime now = app_.os.now();
  characterMessageBox(app_, clockText(now), "ペッコ");
}

void pekkoForm::Image1_MouseMove(int button, int, float, float) {
  Platform& os = app_.os;
  if ((button & LeftButton) && app_.m.actMode != kRionVisit) {
    // Give up the capture of the press and let the system move the window
    // as by its title bar, until the button is released.
    os.ReleaseCapture();
    os.SendMessage(form_->hWnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
  }
  image1_->setToolTipText(clockText(os.now()));
}
