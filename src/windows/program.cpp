// The running program and its three windows.
#include "windows/program.h"

#include "windows/menuForm.h"
#include "windows/pekkoForm.h"
#include "windows/rionForm.h"

Program::Program(platform::Platform& platform) : os(platform) {}
Program::~Program() = default;

void Program::start() {
  pekko().Form_Load();
  pekko().form().show();
}

pekkoForm& Program::pekko() {
  if (!pekko_) pekko_ = std::make_unique<pekkoForm>(*this);
  return *pekko_;
}

rionForm& Program::rion() {
  if (!rion_) rion_ = std::make_unique<rionForm>(*this);
  return *rion_;
}

menuForm& Program::menu() {
  if (!menu_) menu_ = std::make_unique<menuForm>(*this);
  return *menu_;
}
