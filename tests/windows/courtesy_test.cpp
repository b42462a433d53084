// Out of the way: of a screen taken by a full-screen program, of the rate
// dialog, and of the edges when the display shrinks.
#include "support.h"
#include "windows/behaviour.h"

using namespace testing_support;

namespace {

class CourtesyTest : public ::testing::Test, public ProgramOnDesktop {
 protected:
  void SetUp() override { desk.fillDesktop(kDesk), start(); }
  // While taken, ticks go by with nothing drawn, moved or drawn at random;
  // the first tick once free shows each one hidden where he was, drawn
  // afresh over the new desktop, and takes no step.
  void takenFor(int ms, bool rerShown) {
    const auto still = [&] {
      return std::make_tuple(app.m.actStep, pekko().left(), pekko().top(), rion().left(),
                             desk.randomNumbersDrawn, shown(pekko()), shown(rion()));
    };
    const auto before = still();
    const int frames = desk.screenDCsObtained, checks = desk.screenChecks;
    desk.taken = true, desk.advance(ms);
    EXPECT_EQ(std::make_tuple(pekko().visible() || rion().visible(), desk.screenDCsObtained, still()),
              std::make_tuple(false, frames, before));
    EXPECT_GT(desk.screenChecks, checks + 1);
    desk.fillDesktop(0x203040), desk.taken = false, tick();
    EXPECT_EQ(std::make_tuple(pekko().visible(), rion().visible(), pekko().back.at(0, 0),
                              rerShown && rion().pixelX() >= 0 ? rion().back.at(0, 0) : 0x203040u, still()),
              std::make_tuple(true, rerShown, 0x203040u, 0x203040u, before));
    desk.fillDesktop(kDesk);
  }
};

// During a walk, a chat and while away with rer: no step lost or repeated.
TEST_F(CourtesyTest, ATakenScreenHidesBothAndTheyGoOnWhereTheyStood) {
  script({drawOf(35, 100)}), tick(), tick();  // a walk to the right
  takenFor(2000, false);
  tick();  // the third step: his second move from the start (7648)
  EXPECT_EQ(std::make_tuple(app.m.actStep, pekko().left(), shown(pekko())),
            std::make_tuple(3, 7648 + 2 * 160.0f, std::string("walk 9")));

  rion().setLeft(pekko().left() + 560), rion().setTop(pekko().top() - 270), rion().show();
  app.m.actMode = kRionVisit, app.m.actStep = 7;
  script({drawOf(2, 50), drawOf(35, 50), drawOf(43, 50)}), tick(), takenFor(3000, true);
  script({drawOf(2, 50), drawOf(41, 50), drawOf(46, 50)}), tick();  // the chat goes on
  EXPECT_EQ(std::make_tuple(app.m.actStep, shown(pekko()), shown(rion())),
            std::make_tuple(7, std::string("action 9"), std::string("rer 6")));

  // Away with rer the timer is off: nothing to check until he is called
  // back, which a taken screen does not delay; the next tick hides them.
  app.m.actStep = 15, tick();
  ASSERT_FALSE(pekko().visible() || timer().enabled());
  desk.taken = true, desk.advance(5000), app.menu().mgo_Click();
  EXPECT_TRUE(pekko().visible() && timer().enabled());
  tick(), takenFor(1000, true);  // rer too, beyond the left edge where he rode
}

// The dialog opens where ペッコ stands: he and rer leave the topmost band
// until it closes, frames notwithstanding; opened twice, closed once.
TEST_F(CourtesyTest, TheRateDialogIsNeverCovered) {
  rion().setLeft(pekko().left()), rion().setTop(pekko().top()), rion().show();
  app.pekko().BBfun3(std::int16_t{1});
  for (auto close : {SimDesktop::Key::Enter, SimDesktop::Key::Escape}) {
    app.menu().mlove_Click(), app.menu().mlove_Click();
    const int frames = desk.screenDCsObtained;
    script({drawOf(45, 100)}), desk.advance(2000);  // a raised hand: a frame at every tick
    EXPECT_GT(desk.screenDCsObtained, frames + 2);
    SimWindow& d = menu();
    EXPECT_EQ(desk.capture(d.pixelX(), d.pixelY(), d.back.width, d.back.height), d.back);
    EXPECT_FALSE(pekko().topmost || rion().topmost);
    desk.key(d, close), desk.doEvents();
    EXPECT_TRUE(!d.visible() && pekko().topmost && rion().topmost && desk.stacking().back() == &rion());
  }
}

// A shrunk display brings a shown ペッコ back inside, nearest to where he
// was, drawn there; rer beyond the edge stays; a walk goes on from there.
TEST_F(CourtesyTest, AShrunkDisplayBringsHimBackInside) {
  desk.setDesktop(patternedDesktop()), rion().setLeft(-20000), rion().show();
  script({drawOf(35, 100)}), tick(), tick();
  int frames = desk.screenDCsObtained;
  desk.changeDisplay(1000, 700), desk.doEvents();  // he is still inside
  EXPECT_EQ(desk.screenDCsObtained, frames);
  pekko().setHeight(0), desk.changeDisplay(400, 300), desk.doEvents();  // as if amid a frame
  EXPECT_EQ(std::make_tuple(pekko().left(), pekko().top(), rion().left()),
            std::make_tuple(336 * 15.0f, 236 * 15.0f, -20000.0f));
  EXPECT_EQ(onScreen(pekko()), composite(Picture::rPic1, 10, patternedDesktop(336, 236, 64, 64)));
  tick();
  EXPECT_EQ(std::make_tuple(app.m.actStep, pekko().left()), std::make_tuple(3, 336 * 15.0f + 160));
  // Changed while the screen is taken: moved while hidden, shown inside once free.
  desk.taken = true, tick(), desk.changeDisplay(300, 250), desk.doEvents(), desk.taken = false, tick();
  EXPECT_EQ(std::make_tuple(pekko().visible(), pekko().pixelX(), pekko().pixelY()),
            std::make_tuple(true, 236, 186));
  app.menu().mgo_Click(), frames = desk.screenDCsObtained;  // sent out: left where he is
  desk.changeDisplay(200, 200), desk.doEvents();
  EXPECT_EQ(std::make_tuple(pekko().left(), desk.screenDCsObtained), std::make_tuple(236 * 15.0f, frames));
}

}  // namespace
