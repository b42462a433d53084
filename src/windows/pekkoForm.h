// ペッコ's window: his frames, his start-up, his timer and his mouse.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "platform/platform.h"

class Program;
struct VisitAction;

class pekkoForm {
 public:
  explicit pekkoForm(Program& app);

  // The load event, run once at program start.
  void Form_Load();

  // One cell of the walking sheet, the action sheet, or (into rer's window)
  // the companion sheet.
  void BBfun1(const std::int16_t& index);
  void BBfun2(const std::int16_t& index);
  void BBfun3(const std::int16_t& index);

  // One step of rer's ride to the left: alone, or with ペッコ on his board.
  void GoRion();
  void GoRion2();
  // Whether rer has not yet ridden off past the left end of the monitors
  // on his lines; the loops that ride him off step while it holds. Read
  // afresh each time.
  bool rionOnScreen() const;
  // The monitor that holds the centre of his cell, or the nearest one.
  platform::Monitor monitor() const;
  // Where rer starts to ride in, at this top: just past the right end of
  // the desktop as seen from ペッコ's monitor.
  float rideInFrom(float top) const;
  // Before he is shown again after being away: on the monitor he left
  // from, or, when it is gone, at the nearest place wholly on one.
  void placeOnDesktop();

  // The behaviour timer's tick: continue the activity, or choose a new one.
  void Timer1_Timer();

  // Checked first at every tick: while the screen is taken (a full-screen
  // program, a presentation, a locked session) both characters are hidden
  // and the tick does nothing; the first tick it is free again, each one
  // hidden so is drawn afresh over what is now behind him and shown, and
  // that is all it does. True when the tick is to do nothing more.
  bool stepAside();
  // The display's size changed: a ペッコ now partly or wholly off the
  // screen comes back to the nearest place where all of him shows.
  void displayChanged();

  // The mouse on ペッコ.
  void Image1_Click();
  void Image1_MouseMove(int button, int shift, float x, float y);

  platform::Window& form() { return *form_; }
  platform::Timer& Timer1() { return *timer1_; }
  platform::MouseArea& Image1() { return *image1_; }
  platform::Surface& workPic() { return *workPic_; }
  std::int16_t blushShown() const { return blushShown_; }

 private:
  // The activities, one step per call.
  void WalkDown();
  void WalkUp();
  void WalkLeft();
  void WalkRight();
  void WaveHand();
  void SitDown();
  void RionVisit();
  void visitArrival();
  void visitChat();
  void visitFarewell();
  void visitLeaveTogether();
  void visitAction(const VisitAction& action);
  void runActivity(std::int16_t mode);
  void walk(int mode);
  void rideStep(std::int16_t cell);
  // The centre of his cell, in twips.
  std::pair<float, float> centre() const;
  // Whether rer's cell overlaps a monitor that is taken.
  bool rerOverTakenScreen() const;
  // Moved the least that puts his cell wholly on one monitor; redrawn there if shown.
  void moveWhollyOnto();
  // ペッコ's last frame again, at his place now.
  void redraw();

  Program& app_;
  std::unique_ptr<platform::Window> form_;
  std::unique_ptr<platform::Timer> timer1_;
  std::unique_ptr<platform::Surface> workPic_;
  std::unique_ptr<platform::Surface> rPic2_;
  std::unique_ptr<platform::Surface> rPic1_;
  platform::MouseArea* image1_ = nullptr;
  // 1 while the last chat frame was a blush frame; carried into the next visit.
  std::int16_t blushShown_ = 0;
  // The last cells drawn: ペッコ's sheet (1 walking, 2 action) and cell, rer's cell.
  std::int16_t lastSheet_ = 1, lastCell_ = 0, lastRerCell_ = 0;
  // Hidden while the screen is taken.
  bool pekkoAside_ = false, rerAside_ = false;
};
