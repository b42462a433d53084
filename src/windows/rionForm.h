// rer's window: his frames are drawn into it by pekkoForm::BBfun3.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"

class Program;

class rionForm {
 public:
  explicit rionForm(Program& app);

  // The mouse on rer: he tells how much memory is free.
  void Image1_Click();
  void Image1_MouseMove(int button, int shift, float x, float y);

  platform::Window& form() { return *form_; }
  platform::Surface& workPic() { return *workPic_; }
  platform::Surface& rPic3() { return *rPic3_; }
  platform::MouseArea& Image1() { return *image1_; }

 private:
  std::string freeMemory();

  Program& app_;
  std::unique_ptr<platform::Window> form_;
  std::unique_ptr<platform::Surface> workPic_;
  std::unique_ptr<platform::Surface> rPic3_;
  platform::MouseArea* image1_ = nullptr;
};
