// rer's window: his frames are drawn into it by pekkoForm::BBfun3.
#pragma once

#include <memory>

#include "platform/platform.h"

class Program;

class rionForm {
 public:
  explicit rionForm(Program& app);

  platform::Window& form() { return *form_; }
  platform::Surface& workPic() { return *workPic_; }
  platform::Surface& rPic3() { return *rPic3_; }
  platform::MouseArea& Image1() { return *image1_; }

 private:
  std::unique_ptr<platform::Window> form_;
  std::unique_ptr<platform::Surface> workPic_;
  std::unique_ptr<platform::Surface> rPic3_;
  platform::MouseArea* image1_ = nullptr;
};
