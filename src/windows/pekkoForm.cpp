// ペッコ's window: construction, the load routine and the frame operations.
#include "windows/pekkoForm.h"

#include "windows/frame.h"
#include "windows/menuForm.h"
#include "windows/program.h"
#include "windows/rionForm.h"

using namespace platform;

namespace {

// Design size of the client area; the first frame shrinks it to one cell.
constexpr float kDesignWidth = 12000;
constexpr float kDesignHeight = 6360;
constexpr int kTimerInterval = 500;
constexpr std::int16_t kDefaultRate = 10;

}  // namespace

pekkoForm::pekkoForm(Program& app) : app_(app) {
  Platform& os = app.os;
  form_ = os.createWindow({"pekkoForm", "", WindowKind::Character, kDesignWidth, kDesignHeight});
  timer1_ = os.createTimer(kTimerInterval, true);
  workPic_ = os.createSurface(kCellWidth, kWalkingSheet.cellHeight);
  rPic2_ = os.loadPicture(kActionSheet.picture);
  rPic1_ = os.loadPicture(kWalkingSheet.picture);
  image1_ = &form_->addMouseArea(0, 0, kCellWidth, kWalkingSheet.cellHeight);

  timer1_->onTick = [this] { Timer1_Timer(); };
  image1_->onClick = [this] { Image1_Click(); };
  image1_->onMouseMove = [this](const MouseEvent& e) { Image1_MouseMove(e.button, e.shift, e.x, e.y); };
  form_->onDisplayChange = [this] { displayChanged(); };
}

void pekkoForm::Form_Load() {
  Platform& os = app_.os;
  Module1& m = app_.m;

  os.randomize();
  m.kakePer = parseStoredRate(os.getSetting("xpekko", "setting", "kakeochiper", "10"), kDefaultRate);
  fillDirectory(m.winDir, [&](char* b, std::uint32_t n) { os.GetWindowsDirectory(b, n); });
  fillDirectory(m.sysDir, [&](char* b, std::uint32_t n) { os.GetSystemDirectory(b, n); });

  // The 32 is twips, not pixels: the corner sits about two pixels off the
  // centre of the screen.
  const ScreenMetrics scr = os.screen();
  form_->setLeft(scr.width / 2 - 32);
  form_->setTop(scr.height / 2 - 32);

  app_.rion().form().setLeft(scr.width);

  const std::int16_t frontStanding = 0;
  BBfun1(frontStanding);

  app_.menu().tuskicon1();
}

void pekkoForm::BBfun1(const std::int16_t& index) {
  lastSheet_ = 1, lastCell_ = index;
  drawFrame(app_.os, app_.m, {*form_, *workPic_, *rPic1_, kWalkingSheet.cellHeight}, index);
}

void pekkoForm::BBfun2(const std::int16_t& index) {
  lastSheet_ = 2, lastCell_ = index;
  drawFrame(app_.os, app_.m, {*form_, *workPic_, *rPic2_, kActionSheet.cellHeight}, index);
}

void pekkoForm::BBfun3(const std::int16_t& index) {
  lastRerCell_ = index;
  rionForm& rion = app_.rion();
  drawFrame(app_.os, app_.m, {rion.form(), rion.workPic(), rion.rPic3(), kCompanionSheet.cellHeight}, index);
}
