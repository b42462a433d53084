// The tray icon, its popup menu and commands, and the rate dialog.
#include "platform/twips.h"
#include "support.h"

using namespace testing_support;
using namespace platform;
using namespace platform::sim;

namespace {

// At 12 twips per pixel, so that icon messages (X = message x tpp) prove the
// scale is not taken for 15.
class MenuTest : public ::testing::Test, public ProgramOnDesktop {
 protected:
  MenuTest() : ProgramOnDesktop(12) {}
  void SetUp() override {
    desk.onPopup = [this](SimMenu&) { return choice; }, start();
  }
  void choose(int item, int m = WM_LBUTTONUP) { choice = item, desk.trayMouse(m), desk.doEvents(); }
  SimTextBox& text1() { return static_cast<SimTextBox&>(app.menu().Text1()); }
  SimButton& ok() { return static_cast<SimButton&>(app.menu().Command1()); }
  void typeOver(const std::string& text) {
    text1().selectAll(), desk.type(text1(), text.empty() ? std::string("\b") : text), desk.doEvents();
  }
  int choice = -1;  // what the user picks in the popup
};

// Each pixel of the program is s x s of the display's, s the nearest whole
// number to dpi / 96 (halves up); the program is given its twips per pixel.
// The icon's messages come back at every scale: at a whole factor X is
// rounded to a whole twip and the quotient truncated.
TEST(DisplayScale, WholeNumbersTheirTwipsPerPixelAndTheIconsMessagesAtEach) {
  const std::tuple<int, int, float> cases[] = {
      {96, 1, 15},  {120, 1, 12}, {144, 2, 20}, {168, 2, 2880.0f / 168},
      {192, 2, 15}, {240, 3, 18}, {288, 3, 15}, {47, 1, 1440.0f / 47}};
  for (const auto& [dpi, s, tpp] : cases)
    EXPECT_EQ(std::make_pair(displayScale(dpi), twipsPerScaledPixel(dpi)), std::make_pair(s, tpp)) << dpi;
  for (float tpp : {15.0f, 12.0f, 20.0f, 2880.0f / 168, 7.5f, 1440.0f / 110, 1440.0f / 250})
    for (int n = 0; n < 1024; ++n) ASSERT_EQ(trayMessageFromX(static_cast<float>(n) * tpp, tpp), n) << tpp;
  // 7724.5 halves to even; no factor gives nothing.
  EXPECT_EQ(std::make_tuple(trayMessageFromX(7724.4f, 15), trayMessageFromX(7724.5f, 15),
                            trayMessageFromX(6179.6f, 12), trayMessageFromX(0, 0)),
            std::make_tuple(514, 514, 515, 0));
}

// The hidden dialog owns the icon, again after the tray is recreated. Only a
// left or right release opens the menu, at the pointer, after waiting events.
// Date/time and volume start the Windows directory's tool, else the system's.
// The rate dialog's OK is enabled for 0..100 and stores it rounded half to
// even, pressed or by Enter; each opening shows the rate selected, focused.
TEST_F(MenuTest, TheIconItsMenuOfNineItemsTheirCommandsAndTheRateDialog) {
  const NotifyIconData& d = desk.trayIcons.begin()->second;
  EXPECT_EQ(std::make_tuple(d.hWnd, d.uCallbackMessage, d.uFlags), std::make_tuple(menu().hWnd(), 512u, 7u));
  EXPECT_EQ(d.szTip.substr(0, 17), std::u16string(u"クリックするとメニューが出るよ!\0", 17));
  EXPECT_FALSE(menu().visible());
  desk.recreateNotificationArea();
  for (int message : {512, 513, 515, 516, 518, 519, 520, 521}) choose(-1, message);
  EXPECT_TRUE(desk.trayIcons.size() == 1 && desk.popups.empty());
  std::vector<std::string> order;
  desk.onPopup = [&](SimMenu&) { return order.push_back("popup"), choice; };
  desk.cursorX = 1010, desk.cursorY = 755, desk.trayMouse(514);
  desk.post([&] { order.push_back("pending"); }), choose(-1, 517);
  ASSERT_EQ(order, (std::vector<std::string>{"pending", "popup", "popup"}));
  EXPECT_EQ(std::make_pair(desk.popups[0].x, desk.popups[0].y), std::make_pair(1010, 755));
  std::vector<std::string> captions;
  for (const auto& item : desk.popups[0].menu->items) captions.push_back(item.caption);
  EXPECT_EQ(captions, (std::vector<std::string>{"遊びにやる", "-", "日付と時刻の調整", "音量の調節", "-",
                                                "駆け落ち率の設定", "ﾊﾞｰｼﾞｮﾝ情報", "-", "終了"}));
  const std::string W = "C:\\WINDOWS\\", S = W + "SYSTEM\\";
  using Started = std::vector<std::pair<std::string, int>>;  // command line, show mode
  const std::pair<std::set<std::string>, Started> programs[] = {
      {{W + "rundll32.exe", W + "sndvol32.exe"},
       {{W + "rundll32.exe shell32.dll,Control_RunDLL " + S + "Timedate.cpl", 2}, {W + "sndvol32.exe", 1}}},
      {{S + "control.exe", S + "sndvol.exe"}, {{S + "control.exe timedate.cpl", 1}, {S + "sndvol.exe", 1}}},
      {{}, {}}};
  for (const auto& [present, expected] : programs) {
    desk.programs = present, desk.shells.clear(), choose(m3), choose(m4, WM_RBUTTONUP);
    Started started;
    for (const auto& shell : desk.shells)
      if (shell.started) started.emplace_back(shell.commandLine, shell.showMode);
    EXPECT_EQ(started, expected);
  }

  // Each text typed over the rate, and what OK stores ("": OK disabled).
  const std::pair<const char*, const char*> texts[] = {
      {"", ""},         {"abc", ""},    {"10a", ""},      {"-1", ""},      {"100.5", ""},  {"1e2", ""},
      {"0x10", ""},     {"1,0", ""},    {"１０", ""},     {"0", "0"},      {"100", "100"}, {" 7 ", "7"},
      {"7.0", "7"},     {"12.5", "12"}, {"13.5", "14"},   {"99.5", "100"}, {"0.5", "0"},   {"-0", "0"},
      {"100.0", "100"}, {".5", "0"},    {"99.99", "100"}, {"33", "33"}};
  bool enter = false;
  for (const auto& [text, stored] : texts) {
    SCOPED_TRACE(testing::Message() << '"' << text << '"');
    const bool enabled = *stored;
    desk.settings.erase("xpekko\\setting\\kakeochiper");
    const std::string before = std::to_string(app.m.kakePer);
    choose(mlove);
    EXPECT_EQ(std::make_tuple(text1().text(), text1().selectionLength, menu().focused),
              std::make_tuple(before, before.size(), static_cast<SimControl*>(&text1())));
    typeOver(text);
    EXPECT_EQ(ok().enabled(), enabled);
    (enter = !enter) ? desk.key(menu(), SimDesktop::Key::Enter) : desk.click(ok()), desk.doEvents();
    // The menu bar shows only when closed.
    EXPECT_EQ(std::make_tuple(menu().visible(), app.menu().mfile().visible(),
                              desk.settings["xpekko\\setting\\kakeochiper"], std::to_string(app.m.kakePer)),
              std::make_tuple(!enabled, enabled, std::string(stored), enabled ? stored : before));
  }
  // The whole OK button shows (below the designed client height). Esc closes
  // without storing; no character covers the version box (the dialog closed,
  // which would keep them below too); while open ticks and the tray go on;
  // 終了 ends without storing, releasing a held screen context.
  EXPECT_LE(ok().y + ok().h, menu().pixelHeight());
  const int writes = desk.settingWrites;
  choose(mlove), typeOver("55"), desk.key(menu(), SimDesktop::Key::Escape), desk.doEvents();
  EXPECT_TRUE(!menu().visible() && app.menu().mfile().visible());
  bool topmost = true;
  desk.onMessageBox = [&](const sim::MessageBoxCall&) { return topmost = pekko().topmost, IDOK; };
  choose(mabout);
  ASSERT_EQ(desk.messageBoxes.size(), 1u);
  const auto& box = desk.messageBoxes[0];
  EXPECT_EQ(std::tie(box.text, box.title, box.style, topmost),
            std::make_tuple("ぴょこぴょこペッコ Ver.1.21", "ﾊﾞｰｼﾞｮﾝ情報", 0, false));
  choose(mlove), typeOver("77");
  const int frames = desk.screenDCsObtained;
  desk.advance(3000), app.m.scrDC = desk.GetDC(0), app.m.scrDCHeld = true;
  EXPECT_GT(desk.screenDCsObtained, frames);
  choose(mend), desk.advance(5000);  // releases the context, removes the icon, ends; nothing runs after
  EXPECT_TRUE(desk.ended() && desk.trayIcons.empty() && app.m.kakePer == 33);
  EXPECT_EQ(desk.heldScreenDCs() + desk.callsAfterEnd + desk.settingWrites - writes, 0);
}

}  // namespace
