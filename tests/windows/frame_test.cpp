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

TEST_F(FrameTest, FigureOverUniformDesktopHasNoFringe) {
  desk.fillDesktop(0x102030);
  start();
  const Bitmap shown = onScreen(pekko());
  EXPECT_EQ(shown, composite(sheet(Picture::rPic1), 0, 64, Bitmap(64, 64, 0x102030)));
  // Every background pixel of the cell is exactly the desktop colour.
  const Bitmap& s = sheet(Picture::rPic1);
  int background = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      if (s.at(x, 64 + y) == 0xFFFFFF) {
        ++background;
        EXPECT_EQ(shown.at(x, y), 0x102030u) << x << "," << y;
      }
  EXPECT_GT(background, 0);
}

TEST_F(FrameTest, FigureOverPatternedDesktopKeepsEveryBackgroundPixel) {
  desk.setDesktop(patternedDesktop(1024, 768));
  start();
  const SimWindow& w = pekko();
  const Bitmap behind = patternedDesktop(1024, 768);
  Bitmap expectedBackground(64, 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) expectedBackground.at(x, y) = behind.at(w.pixelX() + x, w.pixelY() + y);
  EXPECT_EQ(onScreen(w), composite(sheet(Picture::rPic1), 0, 64, expectedBackground));
}

TEST_F(FrameTest, HalfPixelPlacesRoundToEvenForTheCapture) {
  desk.setDesktop(patternedDesktop(1024, 768));
  start();
  // 22.5 and -0.5 pixels round down to the even neighbour, 23.5 up.
  for (float px : {22.5f, 23.5f, -0.5f}) {
    SCOPED_TRACE(px);
    pekko().setLeft(px * 15);
    pekko().setTop(px * 15 + 3000);
    app.pekko().BBfun1(std::int16_t{3});
    EXPECT_EQ(pekko().pixelX(), platform::roundEven(px));
    EXPECT_EQ(onScreen(pekko()), composite(sheet(Picture::rPic1), 3, 64,
                                           desktopUnder(desk, pekko().pixelX(), pekko().pixelY(), 64)));
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

TEST_F(FrameTest, DrawingRestoresOneCellWhateverTheSizeBefore) {
  start();
  const float left = pekko().left(), top = pekko().top();
  for (float size : {0.0f, 5000.0f, 123.4f}) {
    pekko().setWidth(size);
    pekko().setHeight(size * 2);
    app.pekko().BBfun2(std::int16_t{3});
    EXPECT_EQ(pekko().width(), 960.0f);
    EXPECT_EQ(pekko().height(), 960.0f);
  }
  app.pekko().BBfun3(std::int16_t{1});
  EXPECT_EQ(rion().width(), 960.0f);
  EXPECT_EQ(rion().height(), 1380.0f);
  EXPECT_EQ(pekko().left(), left);  // a drawing never moves the window
  EXPECT_EQ(pekko().top(), top);
}

TEST_F(FrameTest, FirstAndLastCellOfEachSheet) {
  desk.fillDesktop(0x808080);
  start();
  const Bitmap grey64(64, 64, 0x808080), grey92(64, 92, 0x808080);
  app.pekko().BBfun1(std::int16_t{11});
  EXPECT_EQ(onScreen(pekko()), composite(sheet(Picture::rPic1), 11, 64, grey64));
  app.pekko().BBfun2(std::int16_t{0});
  EXPECT_EQ(onScreen(pekko()), composite(sheet(Picture::rPic2), 0, 64, grey64));
  app.pekko().BBfun2(std::int16_t{13});
  EXPECT_EQ(onScreen(pekko()), composite(sheet(Picture::rPic2), 13, 64, grey64));
  rion().setLeft(3000);
  rion().setTop(3000);
  rion().show();
  for (std::int16_t cell : {std::int16_t{0}, std::int16_t{10}}) {
    app.pekko().BBfun3(cell);
    EXPECT_EQ(onScreen(rion(), 92), composite(sheet(Picture::rPic3), cell, 92, grey92));
  }
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
