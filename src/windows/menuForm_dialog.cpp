// menuForm shown as the elopement-rate dialog: a box for a number from 0
// to 100, and OK, which is enabled only while the box holds one.
#include "module/Module1.h"
#include "platform/twips.h"
#include "windows/character_box.h"
#include "windows/menuForm.h"
#include "windows/program.h"

using namespace platform;

namespace {

// Where the controls stand, in twips, in the order Tab visits them.
struct ControlPlace {
  float left, top, width, height;
};
constexpr ControlPlace kLabel1{120, 0, 1950, 180};
constexpr ControlPlace kText1{840, 240, 495, 270};
constexpr ControlPlace kLabel2{1440, 240, 90, 180};
constexpr ControlPlace kCommand1{120, 600, 1935, 255};

// A rate the dialog accepts, or nothing.
std::optional<double> acceptedRate(const std::string& text) {
  const std::optional<double> v = numberFromText(text);
  if (!v || *v < 0 || *v > 100) return std::nullopt;
  return v;
}

}  // namespace

void menuForm::addDialogControls() {
  const ScreenMetrics scr = app_.os.screen();
  const auto px = [&](float twips, float tpp) { return toPixels(twips, tpp); };
  const auto place = [&](const ControlPlace& p) {
    return std::array<int, 4>{px(p.left, scr.twipsPerPixelX), px(p.top, scr.twipsPerPixelY),
                              px(p.width, scr.twipsPerPixelX), px(p.height, scr.twipsPerPixelY)};
  };
  auto [lx, ly, lw, lh] = place(kLabel1);
  form_->addLabel(lx, ly, lw, lh, std::string(kRateLabel));
  auto [tx, ty, tw, th] = place(kText1);
  text1_ = &form_->addTextBox(tx, ty, tw, th, "10");
  auto [ux, uy, uw, uh] = place(kLabel2);
  form_->addLabel(ux, uy, uw, uh, std::string(kRateUnit));
  auto [bx, by, bw, bh] = place(kCommand1);
  command1_ = &form_->addButton(bx, by, bw, bh, "OK");
  command1_->setDefault(true);  // Enter presses OK while it is enabled
  text1_->onChange = [this] { Text1_Change(); };
  command1_->onClick = [this] { Command1_Click(); };
  form_->onCancel = [this] { closeDialog(); };
}

// The dialog opens showing the rate in force, typed over at once; it is
// not modal, and the characters and the tray go on meanwhile. It opens at
// the centre of the screen, where ペッコ starts: while it is open he and
// rer stay below it, as for their boxes.
void menuForm::mlove_Click() {
  if (!dialogOpen_) keepBelowOpened(app_);
  dialogOpen_ = true;
  mfile_->setVisible(false);
  text1_->setText(std::to_string(app_.m.kakePer));
  form_->show();
  text1_->focus();
  text1_->selectAll();
}

void menuForm::Text1_Change() { command1_->setEnabled(acceptedRate(text1_->text()).has_value()); }

void menuForm::Command1_Click() {
  // OK is pressed only while enabled; a text that is no rate changes nothing.
  const std::optional<double> rate = acceptedRate(text1_->text());
  if (rate) {
    app_.m.kakePer = *toInt16(*rate);
    app_.os.saveSetting("xpekko", "setting", "kakeochiper", std::to_string(app_.m.kakePer));
  }
  closeDialog();
}

// Esc, or any other way the system closes the window, only hides it: the
// window owns the icon and the menu, and lives until 終了.
void menuForm::closeDialog() {
  form_->hide();
  mfile_->setVisible(true);
  if (dialogOpen_) keepBelowClosed(app_);
  dialogOpen_ = false;
}
