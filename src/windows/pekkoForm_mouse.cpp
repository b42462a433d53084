// The mouse on ペッコ: the clock as a tooltip and in a message box, and the
// drag through the system's own move loop.
#include "windows/behaviour.h"
#include "windows/clock_text.h"
#include "windows/pekkoForm.h"
#include "windows/program.h"

using namespace platform;

namespace {
constexpr std::uint32_t kKeepPlace = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;
}

void pekkoForm::Image1_Click() {
  Platform& os = app_.os;
  const DateTime now = os.now();
  // Out of the topmost band while the box is open, so that the box is not
  // hidden behind him.
  os.SetWindowPos(form_->hWnd(), HWND_NOTOPMOST, 0, 0, 0, 0, kKeepPlace);
  os.messageBox(clockText(now), "ペッコ", MB_OK);
  os.SetWindowPos(form_->hWnd(), HWND_TOPMOST, 0, 0, 0, 0, kKeepPlace);
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
