// The elopement-rate dialog: what it accepts and stores, and what closes it
// without storing.
#include <gtest/gtest.h>

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
  void choose(int item) {
    desk.onPopup = [item](platform::sim::SimMenu&) { return item; };
    desk.trayMouse(platform::WM_LBUTTONUP);
    desk.doEvents();
  }
  // Replaces the box's text by typing, as a user does after opening.
  void typeOver(const std::string& text) {
    text1().selectAll();
    desk.type(text1(), text.empty() ? std::string("\b") : text);
    desk.doEvents();
  }
  void press(SimWindow& w, Key k) {
    desk.key(w, k);
    desk.doEvents();
  }
};

// OK is enabled for a number from 0 to 100 and stores it rounded half to
// even; anything else leaves OK disabled and nothing stored.
TEST_F(DialogTest, WhatOkAcceptsAndStores) {
  const struct {
    const char* text;
    bool enabled;
    const char* stored;
  } cases[] = {{"", false, ""},        {"abc", false, ""},   {"10a", false, ""},     {"-1", false, ""},
               {"100.5", false, ""},   {"1e2", false, ""},   {"0x10", false, ""},    {"1,0", false, ""},
               {"１０", false, ""},    {"0", true, "0"},     {"100", true, "100"},   {" 7 ", true, "7"},
               {"7.0", true, "7"},     {"12.5", true, "12"}, {"13.5", true, "14"},   {"99.5", true, "100"},
               {"0.5", true, "0"},     {"-0", true, "0"},    {"100.0", true, "100"}, {".5", true, "0"},
               {"99.99", true, "100"}, {"33", true, "33"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << '"' << c.text << '"');
    desk.settings.erase(kEntry);
    const std::string before = std::to_string(app.m.kakePer);
    choose(mlove);
    typeOver(c.text);
    EXPECT_EQ(ok().enabled(), c.enabled);
    desk.click(ok());
    desk.doEvents();
    EXPECT_EQ(menu().visible(), !c.enabled);
    EXPECT_EQ(desk.settings[kEntry], c.stored);
    EXPECT_EQ(std::to_string(app.m.kakePer), c.enabled ? c.stored : before);
    EXPECT_EQ(app.menu().mfile().visible(), c.enabled);
  }
  // Enter presses OK too.
  choose(mlove);
  typeOver("5");
  press(menu(), Key::Enter);
  EXPECT_EQ(app.m.kakePer, 5);
  EXPECT_FALSE(menu().visible());
}

// It opens without its menu bar, the rate selected in the focused box, the
// whole OK button shown (its rectangle reaches below the designed client
// height). Esc closes it, Enter with OK disabled does nothing, reopening
// discards the typed text, and 終了 with it open ends without storing (and
// releases the screen's context if a drawing still held it).
// Ticks and the tray go on while it is open.
TEST_F(DialogTest, NothingButOkStores) {
  choose(mlove);
  EXPECT_FALSE(app.menu().mfile().visible());
  EXPECT_EQ(menu().focused, static_cast<SimControl*>(&text1()));
  EXPECT_EQ(std::make_pair(text1().text(), text1().selectionLength),
            std::make_pair(std::string("10"), std::size_t{2}));
  EXPECT_LE(ok().y + ok().h, menu().pixelHeight());
  typeOver("55");
  press(menu(), Key::Escape);
  EXPECT_FALSE(menu().visible());
  EXPECT_TRUE(app.menu().mfile().visible());
  choose(mlove);
  EXPECT_EQ(text1().text(), "10");
  typeOver("abc");
  press(menu(), Key::Enter);
  EXPECT_TRUE(menu().visible());
  typeOver("77");
  choose(mlove);  // chosen again while open
  EXPECT_EQ(text1().text(), "10");
  EXPECT_TRUE(ok().enabled());
  const int frames = desk.screenDCsObtained;
  desk.advance(3000);
  EXPECT_GT(desk.screenDCsObtained, frames);
  choose(mabout);
  EXPECT_EQ(desk.messageBoxes.size(), 1u);
  typeOver("77");
  app.m.scrDC = desk.GetDC(0), app.m.scrDCHeld = true;  // as if a drawing had not released it
  choose(mend);  // it releases the context, removes the icon and ends, before anything else runs
  desk.advance(5000);
  EXPECT_TRUE(desk.ended() && desk.trayIcons.empty());
  EXPECT_EQ(desk.heldScreenDCs() + desk.callsAfterEnd + desk.settingWrites, 0);
  EXPECT_EQ(app.m.kakePer, 10);
}

}  // namespace
