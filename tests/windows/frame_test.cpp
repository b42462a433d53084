// Masked frame drawing on the simulated desktop: what the screen shows
// after BBfun1/2/3, and what a drawing leaves behind.
#include <gtest/gtest.h>

#include "platform/twips.h"
#include "support.h"

using namespace testing_support;
using platform::HWND_TOPMOST;
using platform::SWP_NOACTIVATE;

namespace {

class FrameTest : public ::testing::Test, public ProgramOnDesktop {};

// Each cell shows over exactly the desktop behind it, its first and last
// cells included; a place half a pixel off a whole pixel rounds to even
// (22.5 and -0.5 down, 23.5 up).
TEST_F(FrameTest, EachSheetsCellOverThePatternedDesktopAtItsRoundedPlace) {
  desk.setDesktop(patternedDesktop(1024, 768));
  start();
  struct Case {
    void (pekkoForm::*draw)(const std::int16_t&);
    Picture picture;
    std::int16_t cell;
    float px;
  };
  const Case cases[] = {
      {&pekkoForm::BBfun1, Picture::rPic1, 3, 22.5f}, {&pekkoForm::BBfun1, Picture::rPic1, 11, 23.5f},
      {&pekkoForm::BBfun2, Picture::rPic2, 0, -0.5f}, {&pekkoForm::BBfun2, Picture::rPic2, 13, 300},
      {&pekkoForm::BBfun3, Picture::rPic3, 0, 22.5f}, {&pekkoForm::BBfun3, Picture::rPic3, 10, 200}};
  rion().show();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "picture " << static_cast<int>(c.picture) << " cell " << c.cell);
    SimWindow& w = c.picture == Picture::rPic3 ? rion() : pekko();
    const int h = c.picture == Picture::rPic3 ? 92 : 64;
    w.setLeft(c.px * 15);
    w.setTop(c.px * 15 + 3000);
    (app.pekko().*c.draw)(c.cell);
    EXPECT_EQ(w.pixelX(), platform::roundEven(c.px));
    EXPECT_EQ(onScreen(w, h),
              composite(sheet(c.picture), c.cell, h, desktopUnder(desk, w.pixelX(), w.pixelY(), h)));
  }
}

TEST_F(FrameTest, SameCellTwiceIsNotADoubleExposure) {
  desk.setDesktop(patternedDesktop(1024, 768));
  start();
  const Bitmap first = onScreen(pekko());
  for (std::int16_t cell : {std::int16_t{5}, std::int16_t{5}}) app.pekko().BBfun1(cell);
  const Bitmap fifth = onScreen(pekko());
  app.pekko().BBfun1(std::int16_t{0});
  EXPECT_EQ(onScreen(pekko()), first);
  EXPECT_NE(fifth, first);
}

TEST_F(FrameTest, WindowBehindBecomesBackground) {
  desk.fillDesktop(0x000080);
  start();
  // Another application's window now lies behind the character's left half.
  auto other = desk.openApplicationWindow(pekko().pixelX() - 100, pekko().pixelY() - 10, 132, 200, 0x00FF00);
  app.pekko().BBfun1(std::int16_t{0});
  Bitmap background(64, 64, 0x000080);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 32; ++x) background.at(x, y) = 0x00FF00;
  EXPECT_EQ(onScreen(pekko()), composite(sheet(Picture::rPic1), 0, 64, background));
}

TEST_F(FrameTest, CompanionOverlapBecomesBackgroundOfMainFrame) {
  desk.fillDesktop(0x204060);
  start();
  SimWindow& r = rion();
  r.setLeft(pekko().left() + 32 * 15);
  r.setTop(pekko().top());
  r.show();
  app.pekko().BBfun3(std::int16_t{0});
  app.pekko().BBfun1(std::int16_t{0});
  // The right half of ペッコ's background is what rer's window showed there.
  const Bitmap rerShown = composite(sheet(Picture::rPic3), 0, 92, Bitmap(64, 92, 0x204060));
  Bitmap background(64, 64, 0x204060);
  for (int y = 0; y < 64; ++y)
    for (int x = 32; x < 64; ++x) background.at(x, y) = rerShown.at(x - 32, y);
  EXPECT_EQ(onScreen(pekko()), composite(sheet(Picture::rPic1), 0, 64, background));
}

TEST_F(FrameTest, TopmostWithoutTakingTheFocus) {
  auto editor = desk.openApplicationWindow(0, 0, 400, 300, 0xFFFFFF);
  start();
  EXPECT_TRUE(pekko().topmost);
  EXPECT_EQ(desk.foreground(), editor->hWnd());
  // The editor is brought over him; the next frame lifts him again, and the
  // editor keeps the keyboard.
  pekko().topmost = false;
  desk.raise(editor.get());
  app.pekko().BBfun1(std::int16_t{0});
  EXPECT_TRUE(pekko().topmost);
  EXPECT_EQ(desk.stacking().back(), &pekko());
  EXPECT_EQ(desk.foreground(), editor->hWnd());
  const auto& last = desk.setWindowPosCalls.back();
  EXPECT_EQ(last.insertAfter, HWND_TOPMOST);
  EXPECT_TRUE(last.flags & SWP_NOACTIVATE);
}

TEST_F(FrameTest, CompanionFrameGoesIntoTheHiddenWindow) {
  desk.fillDesktop(0x112233);
  start();
  rion().setTop(1500);  // on the screen, but his Left is the right edge
  rion().setLeft(6000);
  app.pekko().BBfun3(std::int16_t{0});
  EXPECT_FALSE(rion().visible());
  EXPECT_EQ(desk.capture(400, 100, 64, 92), Bitmap(64, 92, 0x112233));
  rion().show();
  EXPECT_EQ(desk.capture(400, 100, 64, 92),
            composite(sheet(Picture::rPic3), 0, 92, Bitmap(64, 92, 0x112233)));
}

TEST_F(FrameTest, ScreenContextIsHeldOnlyDuringADrawing) {
  start();
  EXPECT_EQ(desk.heldScreenDCs(), 0);
  EXPECT_FALSE(app.m.scrDCHeld);
  // An event that runs in a drawing's passes comes before the capture.
  bool heldInPass = true;
  desk.post([&] { heldInPass = app.m.scrDCHeld; });
  const int before = desk.screenDCsObtained;
  app.pekko().BBfun2(std::int16_t{1});
  EXPECT_FALSE(heldInPass);
  EXPECT_EQ(desk.screenDCsObtained, before + 1);
  EXPECT_EQ(desk.heldScreenDCs(), 0);
  EXPECT_EQ(app.m.scrDC, platform::sim::kScreenDC);  // the stale value is kept
}

TEST_F(FrameTest, NestedDrawingRunsToItsEndFirst) {
  desk.fillDesktop(0x445566);
  start();
  // A handler that runs in the passes of the first drawing draws another
  // cell; the interrupted drawing then captures what that one left.
  std::vector<int> order;
  desk.post([&] {
    order.push_back(1);
    app.pekko().BBfun2(std::int16_t{4});
    order.push_back(2);
  });
  app.pekko().BBfun1(std::int16_t{9});
  order.push_back(3);
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(desk.heldScreenDCs(), 0);
  const Bitmap nested = composite(sheet(Picture::rPic2), 4, 64, Bitmap(64, 64, 0x445566));
  EXPECT_EQ(onScreen(pekko()), composite(sheet(Picture::rPic1), 9, 64, nested));
}

}  // namespace
