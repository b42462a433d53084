// The whole program at the display scales people use: 100 % (15 twips per
// pixel), 125 % (12), 175 % (1440 / 168) and 200 % (7.5). Twips stay the
// program's unit; whatever the scale, a frame is one cell in pixels, the
// walks are refused at their edges, and the click box and the tray work.
#include <gtest/gtest.h>

#include "platform/twips.h"
#include "support.h"
#include "windows/behaviour.h"

using namespace testing_support;
using platform::roundEven;

namespace {

class ScaleTest : public ::testing::TestWithParam<float>, public ProgramOnDesktop {
 protected:
  ScaleTest() : ProgramOnDesktop(GetParam()) {}
  void SetUp() override {
    desk.setDesktop(patternedDesktop(1024, 768));
    start();
  }
  float tpp() const { return GetParam(); }
  // The window shows `cell` of `sheet` over exactly the desktop behind it.
  void expectCell(SimWindow& w, Picture pic, int cell, int height) {
    EXPECT_EQ(w.pixelWidth(), 64);
    EXPECT_EQ(w.pixelHeight(), height);
    EXPECT_EQ(w.width(), tpp() * 64.0f);
    EXPECT_EQ(w.height(), tpp() * static_cast<float>(height));
    EXPECT_EQ(desk.capture(w.pixelX(), w.pixelY(), 64, height),
              composite(sheet(pic), cell, height, desktopUnder(desk, w.pixelX(), w.pixelY(), height)));
  }
};

TEST_P(ScaleTest, StartsWhereTheTwipsSayAsOneExactCell) {
  const float w = 1024 * tpp(), h = 768 * tpp();
  EXPECT_EQ(pekko().left(), w / 2 - 32);
  EXPECT_EQ(pekko().top(), h / 2 - 32);
  EXPECT_EQ(pekko().pixelX(), roundEven(static_cast<float>((w / 2 - 32) / tpp())));
  EXPECT_EQ(pekko().pixelY(), roundEven(static_cast<float>((h / 2 - 32) / tpp())));
  EXPECT_EQ(rion().left(), w);
  expectCell(pekko(), Picture::rPic1, 0, 64);
}

TEST_P(ScaleTest, WalksMoveWholeTwipStepsAndEveryFrameIsOneCell) {
  // Right, down, left, up: every position reads back as set, 160 twips on.
  const Activity walks[] = {kWalkRight, kWalkDown, kWalkLeft, kWalkUp};
  for (Activity walk : walks) {
    SCOPED_TRACE(walk);
    script({drawOf(walk * 10 - 5, 100)});
    for (int step = 1; step <= 5; ++step) {
      const float left = pekko().left(), top = pekko().top();
      tick();
      const float move = step == 1 ? 0.0f : 160.0f;
      EXPECT_EQ(pekko().left(), walk == kWalkRight ? left + move : walk == kWalkLeft ? left - move : left);
      EXPECT_EQ(pekko().top(), walk == kWalkDown ? top + move : walk == kWalkUp ? top - move : top);
      EXPECT_EQ(pekko().pixelX(), roundEven(static_cast<float>(pekko().left() / tpp())));
      EXPECT_EQ(pekko().pixelY(), roundEven(static_cast<float>(pekko().top() / tpp())));
      expectCell(pekko(), Picture::rPic1, kWalks[walk - kWalkDown].cells[step - 1], 64);
    }
  }
  // The companion's frame too, wherever he stands.
  rion().setLeft(100 * tpp());
  rion().setTop(200.5f);
  rion().show();
  app.pekko().BBfun3(10);
  EXPECT_EQ(rion().left(), 100 * tpp());
  EXPECT_EQ(rion().top(), 200.5f);
  expectCell(rion(), Picture::rPic3, 10, 92);
}

TEST_P(ScaleTest, WalksAreRefusedOnlyFromTheLastTwoCellsBeforeAnEdge) {
  struct Case {
    int draw;
    int x, y;  // pixels
    bool refused;
  };
  const Case cases[] = {
      {35, 1024 - 129, 300, false}, {35, 1024 - 127, 300, true}, {35, 1024 - 64, 300, true},
      {5, 300, 768 - 129, false},   {5, 300, 768 - 127, true},   {5, 300, 768 - 64, true},
      {15, 300, 1, false},          {15, 300, 0, true},          {25, 1, 300, false},
      {25, 0, 300, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.draw << " at " << c.x << "," << c.y);
    app.m.actStep = 0;
    pekko().moveToPixels(c.x, c.y);  // as a drag leaves him
    script({drawOf(c.draw, 100), drawOf(45, 100)});
    tick();
    EXPECT_EQ(app.m.actMode, c.refused ? kWaveHand : kActivityRanges[(c.draw - 1) / 10].activity);
    desk.scriptedRandom.clear();
  }
}

TEST_P(ScaleTest, ClickBoxAndTrayMenu) {
  desk.click(pekko(), 63, 63);  // the far corner of the cell is still him
  desk.doEvents();
  ASSERT_EQ(desk.messageBoxes.size(), 1u);
  EXPECT_EQ(desk.messageBoxes[0].title, "ペッコ");
  desk.trayMouse(514);
  desk.trayMouse(517);
  desk.doEvents();
  EXPECT_EQ(desk.popups.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Scales, ScaleTest, ::testing::Values(15.0f, 12.0f, 7.5f, 1440.0f / 168),
                         [](const auto& info) {
                           return "tpp" + std::to_string(static_cast<int>(info.param * 100));
                         });

// Comparisons are made in single precision: at 175 % on a 1920 x 1080
// screen, a window dragged to pixel row 952 has Top + 128 pixels exactly at
// the screen's height once the sum is rounded to a float (and a hair below it
// in wider arithmetic), so the walk down is refused; one row higher it is not.
TEST(SinglePrecision, TheEdgeAt175PercentIsReachedAsFloatsReachIt) {
  for (int row : {951, 952}) {
    SimDesktop d(1920, 1080, 1440.0f / 168);
    Program p(d);
    p.start();
    auto& w = static_cast<SimWindow&>(p.pekko().form());
    w.moveToPixels(900, row);
    d.scriptedRandom = {drawOf(5, 100), drawOf(45, 100)};
    d.advance(500);
    EXPECT_EQ(p.m.actMode, row == 952 ? kWaveHand : kWalkDown) << row;
  }
  for (int column : {1791, 1792}) {
    SimDesktop d(1920, 1080, 1440.0f / 168);
    Program p(d);
    p.start();
    static_cast<SimWindow&>(p.pekko().form()).moveToPixels(column, 500);
    d.scriptedRandom = {drawOf(35, 100), drawOf(45, 100)};
    d.advance(500);
    EXPECT_EQ(p.m.actMode, column == 1792 ? kWaveHand : kWalkRight) << column;
  }
}

}  // namespace
