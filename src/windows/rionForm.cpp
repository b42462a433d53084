// rer's window: created hidden, with its design size until its first
// frame. Hovered or clicked, he tells how much memory is free.
#include "windows/rionForm.h"

#include "windows/character_box.h"
#include "windows/frame.h"
#include "windows/memory_text.h"
#include "windows/program.h"

using namespace platform;

namespace {
constexpr float kDesignWidth = 10800;
constexpr float kDesignHeight = 4875;
}  // namespace

rionForm::rionForm(Program& app) : app_(app) {
  Platform& os = app.os;
  form_ = os.createWindow({"rionForm", "", WindowKind::Character, kDesignWidth, kDesignHeight});
  workPic_ = os.createSurface(kCellWidth, kCompanionSheet.cellHeight);
  rPic3_ = os.loadPicture(kCompanionSheet.picture);
  image1_ = &form_->addMouseArea(0, 0, kCellWidth, kCompanionSheet.cellHeight);

  image1_->onClick = [this] { Image1_Click(); };
  image1_->onMouseMove = [this](const MouseEvent& e) { Image1_MouseMove(e.button, e.shift, e.x, e.y); };
}

// Built afresh on every event, from the system's figures of the moment.
std::string rionForm::freeMemory() {
  MemoryStatusEx s;
  app_.os.GlobalMemoryStatusEx(s);
  return freeMemoryText({s.ullTotalPhys, s.ullAvailPhys, s.ullTotalPageFile, s.ullAvailPageFile});
}

void rionForm::Image1_Click() { characterMessageBox(app_, freeMemory(), "rer"); }

void rionForm::Image1_MouseMove(int, int, float, float) { image1_->setToolTipText(freeMemory()); }
