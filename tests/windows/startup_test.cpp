// Program start: where he stands at each scale and what he shows, and the
// rate it reads.
#include <gtest/gtest.h>

#include "support.h"

using namespace testing_support;

namespace {

// Left and Top are half the screen less 32 twips (not pixels); the window
// stands at their pixels rounded half to even, topmost, showing the front
// cell over exactly the desktop behind it; rer is parked hidden at the
// right edge with his design size.
TEST(Startup, PlacedByTwipsAtEveryScaleWithAnExactFirstFrame) {
  const struct {
    float tpp;
    int x, y;
  } cases[] = {{15, 510, 382}, {12, 509, 381}, {7.5f, 508, 380}, {1440.0f / 168, 508, 380}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tpp);
    ProgramOnDesktop p(c.tpp);
    p.desk.setDesktop(patternedDesktop(1024, 768));
    p.app.pekko().Form_Load();
    EXPECT_FALSE(p.pekko().visible());  // drawn before first shown
    p.pekko().show();
    EXPECT_EQ(p.pekko().left(), 1024 * c.tpp / 2 - 32);
    EXPECT_EQ(p.pekko().top(), 768 * c.tpp / 2 - 32);
    EXPECT_EQ(std::make_pair(p.pekko().pixelX(), p.pekko().pixelY()), std::make_pair(c.x, c.y));
    EXPECT_EQ(p.pekko().width(), 64 * c.tpp);
    EXPECT_EQ(p.onScreen(p.pekko()), composite(Picture::rPic1, 0, desktopUnder(p.desk, c.x, c.y, 64)));
    EXPECT_TRUE(p.pekko().topmost);
    EXPECT_EQ(p.rion().left(), 1024 * c.tpp);
    EXPECT_FALSE(p.rion().visible());
    EXPECT_EQ(std::make_pair(p.rion().width(), p.rion().height()), std::make_pair(10800.0f, 4875.0f));
    EXPECT_EQ(p.app.m.actStep, 0);
    EXPECT_EQ(p.desk.heldScreenDCs(), 0);
  }
}

// The dialog shows the rate the start read; the parsing itself is in
// module1_test.cpp. An out-of-range rate is kept, with OK disabled.
TEST(Startup, ReadsTheStoredRateAndWritesNothingBack) {
  const std::pair<const char*, std::int16_t> cases[] = {{nullptr, 10}, {"25", 25}, {"500", 500}, {"abc", 10}};
  for (const auto& [stored, rate] : cases) {
    SCOPED_TRACE(stored ? stored : "(none)");
    ProgramOnDesktop p;
    if (stored) p.desk.settings["xpekko\\setting\\kakeochiper"] = stored;
    p.start();
    EXPECT_EQ(p.app.m.kakePer, rate);
    p.app.menu().mlove_Click();
    EXPECT_EQ(p.app.menu().Text1().text(), std::to_string(rate));
    EXPECT_EQ(p.app.menu().Command1().enabled(), rate <= 100);
    EXPECT_EQ(p.desk.settingWrites, 0);
  }
}

}  // namespace
