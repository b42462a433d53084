#include "windows/character_box.h"

#include "windows/pekkoForm.h"
#include "windows/program.h"
#include "windows/rionForm.h"

using namespace platform;

namespace {

void placeBoth(Program& app, Handle band) {
  constexpr std::uint32_t keepPlace = SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE;
  app.os.SetWindowPos(app.pekko().form().hWnd(), band, 0, 0, 0, 0, keepPlace);
  if (app.rionExists()) app.os.SetWindowPos(app.rion().form().hWnd(), band, 0, 0, 0, 0, keepPlace);
}

}  // namespace

void keepBelowOpened(Program& app) {
  placeBoth(app, HWND_NOTOPMOST);
  ++app.m.characterBoxesOpen;
}

void keepBelowClosed(Program& app) {
  // A box opened from inside this one is still open: stay below it.
  if (--app.m.characterBoxesOpen == 0) placeBoth(app, HWND_TOPMOST);
}

void characterMessageBox(Program& app, const std::string& text, const std::string& title) {
  keepBelowOpened(app);
  app.os.messageBox(text, title, MB_OK);
  keepBelowClosed(app);
}
