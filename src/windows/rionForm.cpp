// rer's window: created hidden, with its design size until its first frame.
#include "windows/rionForm.h"

#include "windows/program.h"

using namespace platform;

namespace {
constexpr float kDesignWidth = 10800;
constexpr float kDesignHeight = 4875;
}  // namespace

rionForm::rionForm(Program& app) : app_(app) {
  Platform& os = app.os;
  form_ = os.createWindow({"rionForm", "", WindowKind::Character, kDesignWidth, kDesignHeight});
  workPic_ = os.createSurface(64, 92);
  rPic3_ = os.loadPicture(Picture::rPic3);
  image1_ = &form_->addMouseArea(0, 0, 64, 92);
}
