// Program start: where he stands at each scale and what he shows, and the
// rate it reads (the parsing itself is in texts_test.cpp).
#include <gtest/gtest.h>

#include "support.h"

using namespace testing_support;

namespace {

// Left and Top are half the screen less 32 twips (not pixels); the window
// stands at their pixels rounded half to even, topmost, showing the front
// cell over exactly the desktop behind it, drawn before it is first shown;
// rer is parked hidden at the right edge with his design size. The dialog
// shows the stored rate, an out-of-range one with OK disabled; nothing is
// written back.
TEST(Startup, PlacedByTwipsAtEveryScaleWithAnExactFirstFrameAndTheStoredRate) {
  const struct {
    float tpp;
    int x, y;
    const char* stored;
    std::int16_t rate;
  } cases[] = {{15, 510, 382, nullptr, 10},
               {12, 509, 381, "25", 25},
               {7.5f, 508, 380, "500", 500},
               {1440.0f / 168, 508, 380, "abc", 10}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.tpp);
    ProgramOnDesktop p(c.tpp);
    p.desk.setDesktop(patternedDesktop());
    if (c.stored) p.desk.settings["xpekko\\setting\\kakeochiper"] = c.stored;
    p.app.pekko().Form_Load();
    EXPECT_FALSE(p.pekko().visible());
    p.pekko().show();
    EXPECT_EQ(std::make_pair(p.pekko().left(), p.pekko().top()),
              std::make_pair(1024 * c.tpp / 2 - 32, 768 * c.tpp / 2 - 32));
    EXPECT_EQ(std::make_pair(p.pekko().pixelX(), p.pekko().pixelY()), std::make_pair(c.x, c.y));
    EXPECT_EQ(p.pekko().width(), 64 * c.tpp);
    EXPECT_EQ(p.onScreen(p.pekko()), composite(Picture::rPic1, 0, patternedDesktop(c.x, c.y, 64, 64)));
    EXPECT_TRUE(p.pekko().topmost && !p.rion().visible());
    EXPECT_EQ(std::make_tuple(p.rion().left(), p.rion().width(), p.rion().height()),
              std::make_tuple(1024 * c.tpp, 10800.0f, 4875.0f));
    EXPECT_EQ(p.app.m.actStep + p.desk.heldScreenDCs(), 0);
    p.app.menu().mlove_Click();
    EXPECT_EQ(p.app.menu().Text1().text(), std::to_string(c.rate));
    EXPECT_EQ(p.app.menu().Command1().enabled(), c.rate <= 100);
    EXPECT_EQ(p.desk.settingWrites, 0);
  }
}

}  // namespace
