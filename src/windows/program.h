// The running program: the platform it runs on, the program-wide variables
// and the three windows, each created the first time anything refers to it.
#pragma once

#include <memory>

#include "module/Module1.h"
#include "platform/platform.h"

class pekkoForm;
class rionForm;
class menuForm;

class Program {
 public:
  explicit Program(platform::Platform& os);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Program start: creates the start-up window, runs its load event and
  // shows it. The platform's event loop takes over afterwards.
  void start();

  pekkoForm& pekko();
  rionForm& rion();
  menuForm& menu();
  bool rionExists() const { return rion_ != nullptr; }
  bool menuExists() const { return menu_ != nullptr; }

  platform::Platform& os;
  Module1 m;

 private:
  std::unique_ptr<pekkoForm> pekko_;
  std::unique_ptr<rionForm> rion_;
  std::unique_ptr<menuForm> menu_;
};
