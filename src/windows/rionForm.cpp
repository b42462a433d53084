// rer's window: created hidden, with its design size until its first frame.
#include "windows/rionForm.h"

#include "windows/frame.h"
#include "windows/program.h"

using namespace platform;

namespace {
constexpr float kDesignWidth = 10800;
constexpr float kDesignHeight = 4875;
}  // namespace

rionForm::rionForm(Program& app) {
  Platform& os = app.os;
  form_ = os.createWindow({"rionForm", "", WindowKind::Character, kDesignWidth, kDesignHeight});
  workPic_ = os.createSurface(kCellWidth, kCompanionSheet.cellHeight);
  rPic3_ = os.loadPicture(kCompanionSheet.picture);
  image1_ = &form_->addMouseArea(0, 0, kCellWidth, kCompanionSheet.cellHeight);
}
