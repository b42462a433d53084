// The elopement-rate dialog on the simulated desktop: what it accepts, what
// it stores, the keyboard, and a property test over generated texts.
#include <gtest/gtest.h>

#include <random>

#include "support.h"

using namespace testing_support;
using platform::sim::SimButton;
using platform::sim::SimControl;
using platform::sim::SimTextBox;
using Key = SimDesktop::Key;

namespace {

const char kEntry[] = "xpekko\\setting\\kakeochiper";

class DialogTest : public ::testing::Test, public ProgramOnDesktop {
 protected:
  void SetUp() override { start(); }
  SimTextBox& text1() { return static_cast<SimTextBox&>(app.menu().Text1()); }
  SimButton& ok() { return static_cast<SimButton&>(app.menu().Command1()); }
  void open() {
    desk.onPopup = [](platform::sim::SimMenu&) { return static_cast<int>(mlove); };
    desk.trayMouse(platform::WM_LBUTTONUP);
    desk.doEvents();
  }
  // Replaces the box's text by typing, as a user does after opening.
  void typeOver(const std::string& text) {
    text1().selectAll();
    desk.type(text1(), text.empty() ? std::string("\b") : text);
    desk.doEvents();
  }
  void pressOk() {
    desk.click(ok());
    desk.doEvents();
  }
};

TEST_F(DialogTest, OpensCentredWithTheRateSelectedInTheFocusedBoxAndNoMenuBar) {
  open();
  EXPECT_TRUE(menu().visible());
  EXPECT_EQ(menu().design.title, "ぴょこぴょこペッコ");
  EXPECT_FALSE(app.menu().mfile().visible());
  EXPECT_EQ(text1().text(), "10");  // nothing stored: the default
  EXPECT_EQ(menu().focused, static_cast<SimControl*>(&text1()));
  EXPECT_EQ(text1().selectionLength, 2u);
  EXPECT_TRUE(ok().enabled());
  EXPECT_TRUE(ok().isDefault());
  // The controls where their twips put them at 15 twips per pixel, in Tab order.
  ASSERT_EQ(menu().controls.size(), 4u);
  const struct {
    int x, y, w, h;
    const char* text;
  } expected[] = {{8, 0, 130, 12, "rerと駆け落ちする確率"},
                  {56, 16, 33, 18, "10"},
                  {96, 16, 6, 12, "%"},
                  {8, 40, 129, 17, "OK"}};
  for (int i = 0; i < 4; ++i) {
    const SimControl& c = *menu().controls[i];
    EXPECT_EQ((std::array<int, 4>{c.x, c.y, c.w, c.h}),
              (std::array<int, 4>{expected[i].x, expected[i].y, expected[i].w, expected[i].h}))
        << i;
  }
  EXPECT_LE(ok().y + ok().h, menu().pixelHeight());  // the whole button shows
}

TEST_F(DialogTest, OkIsEnabledOnlyForANumberFromZeroToAHundred) {
  open();
  const std::pair<const char*, bool> cases[] = {
      {"", false},     {"abc", false}, {"10a", false},  {"-1", false},   {"100.5", false}, {"1e2", false},
      {"0x10", false}, {"1,0", false}, {"１０", false}, {"0", true},     {"100", true},    {" 7 ", true},
      {"7.0", true},   {"12.5", true}, {"-0", true},    {"100.0", true}, {".5", true},     {"99.99", true}};
  for (const auto& [text, enabled] : cases) {
    typeOver(text);
    EXPECT_EQ(ok().enabled(), enabled) << '"' << text << '"';
  }
}

TEST_F(DialogTest, OkOrEnterStoresTheRoundedRate) {
  const std::pair<const char*, std::int16_t> cases[] = {{" 7 ", 7},    {"7.0", 7}, {"12.5", 12}, {"13.5", 14},
                                                        {"99.5", 100}, {"0.5", 0}, {"100", 100}};
  for (const auto& [text, rate] : cases) {
    open();
    typeOver(text);
    pressOk();
    EXPECT_FALSE(menu().visible()) << text;
    EXPECT_TRUE(app.menu().mfile().visible());
    EXPECT_EQ(app.m.kakePer, rate) << text;
    EXPECT_EQ(desk.settings[kEntry], std::to_string(rate)) << text;
  }
  // Enter presses OK too, once the text is a rate.
  open();
  typeOver("0");
  desk.key(menu(), Key::Enter);
  desk.doEvents();
  EXPECT_EQ(app.m.kakePer, 0);
  EXPECT_FALSE(menu().visible());
}

TEST_F(DialogTest, EscEnterWhileDisabledReopeningAndExitWriteNothing) {
  open();
  typeOver("55");
  desk.key(menu(), Key::Escape);
  desk.doEvents();
  EXPECT_FALSE(menu().visible());
  EXPECT_TRUE(app.menu().mfile().visible());
  open();
  EXPECT_EQ(text1().text(), "10");  // the typed text is gone
  typeOver("abc");
  desk.key(menu(), Key::Enter);  // OK is disabled: nothing happens
  desk.doEvents();
  EXPECT_TRUE(menu().visible());
  typeOver("77");
  open();  // chosen again while open
  EXPECT_EQ(text1().text(), "10");
  EXPECT_TRUE(ok().enabled());
  desk.onPopup = [](platform::sim::SimMenu&) { return static_cast<int>(mend); };
  desk.trayMouse(platform::WM_RBUTTONUP);
  desk.doEvents();
  EXPECT_TRUE(desk.ended());
  EXPECT_EQ(desk.settingWrites, 0);
  EXPECT_EQ(app.m.kakePer, 10);
}

TEST_F(DialogTest, TheTimerAndTheTrayGoOnWhileItIsOpen) {
  open();
  const int frames = desk.screenDCsObtained;
  desk.advance(3000);
  EXPECT_GT(desk.screenDCsObtained, frames);
  EXPECT_TRUE(menu().visible());
  desk.onPopup = [](platform::sim::SimMenu&) { return static_cast<int>(mabout); };
  desk.trayMouse(platform::WM_LBUTTONUP);
  desk.doEvents();
  EXPECT_EQ(desk.messageBoxes.size(), 1u);
}

// Texts made of the pieces people and programs type: for every one the
// check and the conversion agree, and only 0 to 100 ever reaches the store.
TEST(DialogProperty, CheckAndConversionAgreeOnEveryText) {
  SimDesktop desk;
  Program app(desk);
  app.start();
  menuForm& dialog = app.menu();
  std::mt19937 rng(2026);
  const char* pieces[] = {"0",  "1", "5",   "9",    "10",  "100", "-",   "+",
                          " ",  ".", "e",   "E",    "x",   "a",   ",",   "\t",
                          "１", "%", "999", "0000", "5e1", "inf", "nan", "\xE3\x80\x80"};
  int accepted = 0;
  for (int i = 0; i < 100000; ++i) {
    std::string text;
    const int n = std::uniform_int_distribution<int>(0, 6)(rng);
    for (int k = 0; k < n; ++k) text += pieces[std::uniform_int_distribution<int>(0, 23)(rng)];
    if (i % 5000 == 0) text = std::string(100000, i % 10000 ? '7' : '0');  // very long texts
    dialog.mlove_Click();
    dialog.Text1().setText(text);
    const bool enabled = dialog.Command1().enabled();
    const std::optional<double> v = numberFromText(text);
    ASSERT_EQ(enabled, v && *v >= 0 && *v <= 100) << '"' << text << '"';
    dialog.Command1_Click();
    if (!enabled) continue;
    ++accepted;
    const std::int16_t stored = static_cast<std::int16_t>(std::stoi(desk.settings[kEntry]));
    ASSERT_EQ(stored, app.m.kakePer);
    ASSERT_TRUE(stored >= 0 && stored <= 100) << '"' << text << '"';
    ASSERT_EQ(stored, *toInt16(*v));
  }
  EXPECT_GT(accepted, 1000);
}

}  // namespace
