// Several monitors: where walks are refused, rer's rides in and off, the
// call back, an unplugged monitor and a taken one. Places in pixels.
#include "support.h"
#include "windows/behaviour.h"

using namespace testing_support;
using platform::sim::SimMonitor;

namespace {

// At each edge with no monitor beyond, refused there and not a pixel short of
// it (or where he crosses onto the next monitor).
TEST(Monitors, WalksAreRefusedAtTheDesktopsOuterEdgesAndItsStepsOnly) {
  // clang-format off
  const struct { const Layout& layout; Activity walk; int x, y, shortX, shortY; } cases[] = {
      {kSideBySide, kWalkRight, 1696, 100, 1695, 100}, {kSideBySide, kWalkRight, 900, 537, 900, 536},  // 600
      {kSideBySide, kWalkDown, 1100, 472, 1100, 471},  {kSideBySide, kWalkDown, 961, 500, 960, 500},
      {kSideBySide, kWalkDown, 100, 640, 100, 639},    {kSideBySide, kWalkUp, 1100, 0, 1100, 1},
      {kSideBySide, kWalkLeft, 0, 100, 1024, 100},     {kL, kWalkRight, 896, 800, 895, 800},
      {kL, kWalkDown, 961, 700, 900, 700},             {kL, kWalkDown, 1100, 640, 1100, 639},  // the corner
      {kLeft, kWalkLeft, -1280, 100, -1279, 100},      {kLeft, kWalkUp, -500, -200, -500, -199},
      {kLeft, kWalkUp, -10, 0, -64, 0},                {kLeft, kWalkDown, -500, 696, -500, 695},
      {kLeft, kWalkRight, 896, 100, 895, 100}};
  // clang-format on
  for (float t : {15.0f, 12.0f, 20.0f})
    for (const auto& c : cases) {
      std::vector<platform::Monitor> monitors;
      for (const SimMonitor& m : c.layout)
        monitors.push_back({m.x * t, m.y * t, (m.x + m.width) * t, (m.y + m.height) * t, m.primary});
      const platform::ScreenMetrics scr{1024 * t, 768 * t, t, t};
      EXPECT_TRUE(refusesToStart(c.walk, c.x * t, c.y * t, scr, monitors) &&
                  !refusesToStart(c.walk, c.shortX * t, c.shortY * t, scr, monitors))
          << t << " twips per pixel, walk " << c.walk << " at " << c.x << ", " << c.y;
    }
}

class MonitorsTest : public ::testing::Test, public ProgramOnDesktop {
 protected:
  MonitorsTest() : ProgramOnDesktop(15, 1024, 768, 12) {}
  // rer's frames during `f`: where each was drawn.
  std::vector<int> trail(const std::function<void()>& f) {
    desk.setWindowPosCalls.clear(), f();
    std::vector<int> xs;
    for (const auto& call : desk.setWindowPosCalls)
      if (call.hWnd == rion().hWnd()) xs.push_back(call.x);
    return xs;
  }
  // A visit from its first tick to rer's lone departure: his frames riding in and off.
  std::pair<std::vector<int>, std::vector<int>> visit() {
    app.m.actMode = kSitDown, app.m.actStep = 2, script({drawOf(94, 100)});
    auto in = trail([&] { tick(); });
    app.m.actStep = 8, script({drawOf(11, 100)});
    return {in, trail([&] { tick(); })};
  }
};

TEST_F(MonitorsTest, RerRidesInFromTheFarRightAndOffEveryMonitorAndTheCallBackFindsPekko) {
  desk.setMonitors(kSideBySide), desk.fillDesktop(kDesk), start(), pekko().moveToPixels(700, 200);
  // Dragged by 300 pixels in the first three ticks of a walk to the right:
  // the pointer keeps its pixel of him; he walks on onto the second monitor.
  script({drawOf(35, 100)}), desk.drag(pekko(), 300, 0, 1600), desk.doEvents();
  EXPECT_EQ(std::make_pair(pekko().pixelX(), int(app.m.actStep)), std::make_pair(1000, 3));
  tick(), tick();
  EXPECT_EQ(std::make_pair(pekko().left(), int(app.m.actStep)), std::make_pair(15000 + 320.0f, 0));
  auto [in, off] = visit();  // from 1824, 12 pixels above him; off past 0
  EXPECT_EQ(std::make_tuple(in.front(), rion().pixelY(), off.back() <= -64, off.end()[-2] > -64),
            std::make_tuple(1811, 200 - 12 + 32, true, true));
  // Sent out and called back: home to the second monitor, rer through its middle.
  app.menu().mgo_Click(), in = trail([&] { app.menu().mgo_Click(); });
  EXPECT_EQ(std::make_tuple(in.front(), pekko().pixelX(), pekko().pixelY(), pekko().visible()),
            std::make_tuple(1811, 1021, 200, true));
  // That monitor unplugged while he is away: back on the nearest.
  app.menu().mgo_Click(), desk.setMonitors({kSideBySide[0]}), desk.doEvents();
  in = trail([&] { app.menu().mgo_Click(); });
  EXPECT_EQ(std::make_tuple(in.front(), pekko().pixelX(), pekko().pixelY(), shown(pekko())),
            std::make_tuple(1011, 960, 200, std::string("walk 6")));
  // A monitor left of the primary: rer rides off past its left end too.
  // (ペッコ at the primary's right edge, rer arrives where he starts.)
  desk.setMonitors(kLeft), desk.doEvents(), std::tie(in, off) = visit();
  EXPECT_EQ(std::make_tuple(in, pekko().pixelX(), off.back() <= -1344, off.end()[-2] > -1344),
            std::make_tuple(std::vector<int>{1024}, 960, true, true));
  // Over a monitor another program has taken, rer rides and stops unseen
  // (his frames drawn hidden), and shows again once off it.
  desk.setMonitors(kSideBySide), desk.displays[1].taken = true, desk.doEvents();
  app.m.actMode = kSitDown, app.m.actStep = 2, script({drawOf(94, 100)}), in = trail([&] { tick(); });
  EXPECT_EQ(std::make_pair(in, rion().visible()), std::make_pair(std::vector<int>{1037}, false));
  app.m.actStep = 8, script({drawOf(11, 100)}), off = trail([&] { tick(); });
  EXPECT_EQ(std::make_pair(off[1], rion().visible()), std::make_pair(957, true));
  // Not wholly on one monitor after a change: moved the least onto one.
  desk.setMonitors(kL), pekko().moveToPixels(1000, 740), desk.doEvents();  // in the corner
  EXPECT_EQ(std::make_pair(pekko().pixelX(), pekko().pixelY()), std::make_pair(1024, 704));
  pekko().moveToPixels(1500, 300), desk.setMonitors({kL[0], kL[2]}), desk.doEvents();  // his one unplugged
  EXPECT_EQ(std::make_pair(pekko().pixelX(), pekko().pixelY()), std::make_pair(960, 300));
}

}  // namespace
