// Masked frame drawing, what a drawing leaves behind, the first frame at start.
#include "support.h"

using namespace testing_support;

namespace {

class FrameTest : public ::testing::Test, public ProgramOnDesktop {};

// Every cell shows over exactly the desktop behind it (a grey mask or an image
// not white round the figure would tint it), never over its own last frame one
// pixel away. Half pixels round to even (22.5 and -0.5 down, 23.5 up).
TEST_F(FrameTest, EveryCellOverThePatternedDesktopAtItsRoundedPlace) {
  desk.setDesktop(patternedDesktop()), start(), rion().show();
  const std::tuple<void (pekkoForm::*)(const std::int16_t&), Picture, int> sheets[] = {
      {&pekkoForm::BBfun1, Picture::rPic1, 12},
      {&pekkoForm::BBfun2, Picture::rPic2, 14},
      {&pekkoForm::BBfun3, Picture::rPic3, 11}};
  const float places[] = {22.5f, 23.5f, -0.5f, 301};
  const int pixels[] = {22, 24, 0, 301};
  for (const auto& [draw, picture, cells] : sheets)
    for (std::int16_t cell = 0; cell < cells; ++cell) {
      SCOPED_TRACE(testing::Message() << "picture " << int(picture) << " cell " << cell);
      SimWindow& w = picture == Picture::rPic3 ? rion() : pekko();
      if (&w == &rion()) pekko().hide();  // rer's background is the bare desktop
      const int h = picture == Picture::rPic3 ? 92 : 64, at = cell % 4;
      w.setLeft(places[at] * 15), w.setTop(places[3 - at] * 15);
      (app.pekko().*draw)(cell);
      EXPECT_EQ(std::make_pair(w.pixelX(), w.pixelY()), std::make_pair(pixels[at], pixels[3 - at]));
      EXPECT_EQ(onScreen(w, h),
                composite(picture, cell, patternedDesktop(pixels[at], pixels[3 - at], 64, h)));
    }
}

// Another app's window behind his left half and rer his right become his
// background, and he stays above without taking the keyboard. A handler run
// in a drawing's passes draws another cell to its end before the outer
// drawing takes the screen's context, and the outer captures what it left.
TEST_F(FrameTest, WhatLiesBehindEvenANestedDrawingBecomesTheBackground) {
  desk.fillDesktop(0x000080), start();
  auto other = desk.openApplicationWindow(pekko().pixelX() - 100, pekko().pixelY() - 10, 132, 200, 0x00FF00);
  rion().setLeft(pekko().left() + 40 * 15), rion().setTop(pekko().top()), rion().show();
  pekko().hide();  // rer's own background is the bare desktop
  app.pekko().BBfun3(std::int16_t{0}), pekko().show(), pekko().topmost = false;
  std::vector<int> order;
  desk.post([&] {
    EXPECT_FALSE(app.m.scrDCHeld);
    order.push_back(1), app.pekko().BBfun2(std::int16_t{4}), order.push_back(2);
  });
  const int obtained = desk.screenDCsObtained, released = desk.screenDCsReleased;
  app.pekko().BBfun1(std::int16_t{9}), order.push_back(3);
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(std::make_tuple(desk.screenDCsObtained - obtained, desk.screenDCsReleased - released,
                            desk.heldScreenDCs(), app.m.scrDCHeld),
            std::make_tuple(2, 2, 0, false));
  const Bitmap rer = composite(Picture::rPic3, 0, Bitmap(64, 92, 0x000080));
  Bitmap bg(64, 64);  // the other app's window, the bare desktop, then rer
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) bg.at(x, y) = x < 32 ? 0x00FF00 : x >= 40 ? rer.at(x - 40, y) : 0x000080;
  EXPECT_EQ(onScreen(pekko()), composite(Picture::rPic1, 9, composite(Picture::rPic2, 4, bg)));
  EXPECT_TRUE(pekko().topmost && desk.stacking().back() == &pekko() && desk.foreground() == other->hWnd());
}

// Left and Top are half the screen less 32 twips (not pixels), rounded half to
// even; the front cell drawn before first shown; rer parked hidden at the right
// edge. The dialog shows the stored rate (OK disabled out of range), unwritten.
TEST(Startup, PlacedByTwipsAtEveryScaleWithAnExactFirstFrameAndTheStoredRate) {
  const std::tuple<float, int, int, const char*, std::int16_t> cases[] = {
      {15, 510, 382, nullptr, 10},
      {12, 509, 381, "25", 25},
      {7.5f, 508, 380, "500", 500},
      {1440.0f / 168, 508, 380, "abc", 10}};
  for (const auto& [tpp, x, y, stored, rate] : cases) {
    SCOPED_TRACE(tpp);
    ProgramOnDesktop p(tpp);
    p.desk.setDesktop(patternedDesktop());
    if (stored) p.desk.settings["xpekko\\setting\\kakeochiper"] = stored;
    p.app.pekko().Form_Load();
    EXPECT_FALSE(p.pekko().visible());
    p.pekko().show();
    EXPECT_EQ(std::make_tuple(p.pekko().left(), p.pekko().top(), p.pekko().width(), p.pekko().pixelX(),
                              p.pekko().pixelY(), p.pekko().topmost),
              std::make_tuple(1024 * tpp / 2 - 32, 768 * tpp / 2 - 32, 64 * tpp, x, y, true));
    EXPECT_EQ(p.onScreen(p.pekko()), composite(Picture::rPic1, 0, patternedDesktop(x, y, 64, 64)));
    EXPECT_EQ(std::make_tuple(p.rion().left(), p.rion().width(), p.rion().height(), p.rion().visible(),
                              p.app.m.actStep + p.desk.heldScreenDCs()),
              std::make_tuple(1024 * tpp, 10800.0f, 4875.0f, false, 0));
    p.app.menu().mlove_Click();
    EXPECT_EQ(
        std::make_tuple(p.app.menu().Text1().text(), p.app.menu().Command1().enabled(), p.desk.settingWrites),
        std::make_tuple(std::to_string(rate), rate <= 100, 0));
  }
}

}  // namespace
