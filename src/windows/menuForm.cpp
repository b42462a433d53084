// menuForm: the tray icon, the popup menu and the commands behind it.
#include "windows/menuForm.h"

#include "module/Module1.h"
#include "platform/common/utf16.h"
#include "platform/twips.h"
#include "windows/character_box.h"
#include "windows/pekkoForm.h"
#include "windows/program.h"
#include "windows/rionForm.h"

using namespace platform;

namespace {

constexpr float kClientWidth = 2175;
// Tall enough for the whole OK button of the rate dialog (it reaches 855).
constexpr float kClientHeight = 975;
constexpr std::uint32_t kTrayId = 1;

}  // namespace

NotifyIconData trayRecord(Handle hWnd, Handle hIcon) {
  NotifyIconData d;
  d.cbSize = NOTIFYICONDATAW_V1_SIZE;
  d.hWnd = hWnd;
  d.uID = kTrayId;
  d.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  d.uCallbackMessage = WM_MOUSEMOVE;
  d.hIcon = hIcon;
  // The tip field: the text, one NUL, then blanks to the field's width.
  d.szTip = utf16(kTrayTip);
  d.szTip.push_back(u'\0');
  d.szTip.resize(kTipLength, u' ');
  return d;
}

// The callback's message number arrives as a mouse move to X = n pixels,
// reported in twips. At a whole number of twips per pixel (100 % and 125 %
// scaling) X and the factor are rounded and X divided with truncation. At
// other scales (175 % is 8.57... twips per pixel, 200 % is 7.5) rounding the
// factor would turn 514 into 489 or 481, and the menu would never open:
// there the quotient itself is rounded, which gives n back exactly.
int trayMessageFromX(float x, float twipsPerPixelX) {
  if (!(twipsPerPixelX > 0)) return 0;
  const std::int32_t factor = roundEven(twipsPerPixelX);
  if (static_cast<float>(factor) == twipsPerPixelX) return roundEven(x) / factor;
  return roundEven(static_cast<float>(x / twipsPerPixelX));
}

std::string dateTimeCommand(std::string_view winDir, std::string_view sysDir) {
  return trimBlanks(winDir) + "\\rundll32.exe shell32.dll,Control_RunDLL " + trimBlanks(sysDir) +
         "\\Timedate.cpl";
}

std::string volumeCommand(std::string_view winDir) { return trimBlanks(winDir) + "\\sndvol32.exe"; }

std::string dateTimeFallbackCommand(std::string_view sysDir) {
  return trimBlanks(sysDir) + "\\control.exe timedate.cpl";
}

std::string volumeFallbackCommand(std::string_view sysDir) { return trimBlanks(sysDir) + "\\sndvol.exe"; }

menuForm::menuForm(Program& app) : app_(app) {
  form_ = app.os.createWindow(
      {"menuForm", std::string(kProductName), WindowKind::Dialog, kClientWidth, kClientHeight, true});
  mfile_ = &form_->addMenu("FILE");
  for (int i = 0; i < kMenuItemCount; ++i)
    mfile_->addItem(std::string(kMenuCaptions[i]), [this, i] { runMenuItem(static_cast<MenuItem>(i)); });
  addDialogControls();
  form_->onMouseMove = [this](const MouseEvent& e) { Form_MouseMove(e.button, e.shift, e.x, e.y); };
  // A restarted shell has forgotten the icon: without it the program could
  // not even be ended, so it is added again.
  form_->onNotificationAreaCreated = [this] { tuskicon1(); };
}

void menuForm::runMenuItem(MenuItem item) {
  switch (item) {
    case mgo: mgo_Click(); break;
    case m3: m3_Click(); break;
    case m4: m4_Click(); break;
    case mlove: mlove_Click(); break;
    case mabout: mabout_Click(); break;
    case mend: mend_Click(); break;
    default: break;  // separators
  }
}

void menuForm::tuskicon1() { app_.os.Shell_NotifyIcon(NIM_ADD, trayRecord(form_->hWnd(), form_->icon())); }

void menuForm::tuskicon2() { app_.os.Shell_NotifyIcon(NIM_DELETE, trayRecord(form_->hWnd(), form_->icon())); }

void menuForm::Form_MouseMove(int, int, float x, float) {
  const int message = trayMessageFromX(x, app_.os.screen().twipsPerPixelX);
  if (message != WM_LBUTTONUP && message != WM_RBUTTONUP) return;
  app_.os.doEvents();
  mfile_->popup();
}

// Send ペッコ out, or have rer bring him back: rer rides in from the right
// end of the desktop with him on the board, sets him down where he was, and rides off to
// the left alone. The timer stays off until he is back. Chosen again while
// a call back runs, a whole call back runs inside it; the outer one then
// finds rer past both bounds and only finishes.
void menuForm::mgo_Click() {
  pekkoForm& pekko = app_.pekko();
  Window& rion = app_.rion().form();
  if (mfile_->caption(mgo) == kSendOut) {
    pekko.Timer1().setEnabled(false);
    pekko.form().hide();
    rion.hide();
    mfile_->setCaption(mgo, std::string(kCallBack));
    return;
  }

  // rer rides in across the desktop to the middle of the monitor ペッコ
  // left from (or, that one gone, the one he is put back on).
  pekko.placeOnDesktop();
  const Monitor home = pekko.monitor();
  rion.setTop(home.top + (home.bottom - home.top) / 2 - rion.height() / 2);
  rion.setLeft(pekko.rideInFrom(rion.top()));
  rion.show();
  // The bound is taken afresh before every step: his width is the design
  // width until his first frame.
  for (;;) {
    const float arrived = home.left + (home.right - home.left) / 2 - rion.width() / 2;
    if (!(rion.left() > arrived)) break;
    pekko.GoRion2();
  }

  pekko.form().show();
  constexpr std::int16_t facingLeft = 6;
  pekko.BBfun1(facingLeft);
  while (pekko.rionOnScreen()) {
    pekko.BBfun1(facingLeft);
    pekko.GoRion();
  }

  pekko.Timer1().setEnabled(true);
  mfile_->setCaption(mgo, std::string(kSendOut));
}

void menuForm::m3_Click() {
  Platform& os = app_.os;
  if (!os.shell(dateTimeCommand(app_.m.winDir, app_.m.sysDir), SW_SHOWMINIMIZED))
    os.shell(dateTimeFallbackCommand(app_.m.sysDir), SW_SHOWNORMAL);
}

void menuForm::m4_Click() {
  Platform& os = app_.os;
  if (!os.shell(volumeCommand(app_.m.winDir), SW_SHOWNORMAL))
    os.shell(volumeFallbackCommand(app_.m.sysDir), SW_SHOWNORMAL);
}

// The characters keep out of its way as they do for their own boxes.
void menuForm::mabout_Click() {
  characterMessageBox(app_, std::string(kVersionText), std::string(kVersionTitle));
}

void menuForm::mend_Click() {
  Module1& m = app_.m;
  if (m.scrDCHeld) {
    app_.os.ReleaseDC(0, m.scrDC);
    m.scrDCHeld = false;
  }
  tuskicon2();
  app_.os.end();
}
