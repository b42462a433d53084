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
};

// OK is enabled for a number from 0 to 100 and stores it rounded half to
// even, pressed or by Enter; anything else leaves OK disabled, and neither
// stores. Each opening, or choosing it again while it is open, shows the
// rate selected in the focused box, whatever was typed before.
TEST_F(DialogTest, WhatOkAcceptsAndStoresAndNothingElseDoes) {
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
  bool enter = false;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << '"' << c.text << '"');
    desk.settings.erase(kEntry);
    const std::string before = std::to_string(app.m.kakePer);
    choose(mlove);
    EXPECT_EQ(std::make_tuple(text1().text(), text1().selectionLength, menu().focused),
              std::make_tuple(before, before.size(), static_cast<SimControl*>(&text1())));
    typeOver(c.text);
    EXPECT_EQ(ok().enabled(), c.enabled);
    (enter = !enter) ? desk.key(menu(), Key::Enter) : desk.click(ok());
    desk.doEvents();
    EXPECT_EQ(menu().visible(), !c.enabled);
    EXPECT_EQ(desk.settings[kEntry], c.stored);
    EXPECT_EQ(std::to_string(app.m.kakePer), c.enabled ? c.stored : before);
    EXPECT_EQ(app.menu().mfile().visible(), c.enabled);  // the menu bar shows only when closed
  }
  // The whole OK button shows (its rectangle reaches below the designed
  // client height). Esc closes without storing. While it is open ticks and
  // the tray go on, and 終了 ends without storing, releasing the screen's
  // context if a drawing still held it.
  EXPECT_LE(ok().y + ok().h, menu().pixelHeight());
  const int writes = desk.settingWrites;
  choose(mlove);
  typeOver("55");
  desk.key(menu(), Key::Escape);
  desk.doEvents();
  EXPECT_FALSE(menu().visible());
  EXPECT_TRUE(app.menu().mfile().visible());
  choose(mlove);
  typeOver("77");
  const int frames = desk.screenDCsObtained;
  desk.advance(3000);
  EXPECT_GT(desk.screenDCsObtained, frames);
  choose(mabout);
  EXPECT_EQ(desk.messageBoxes.size(), 1u);
  app.m.scrDC = desk.GetDC(0), app.m.scrDCHeld = true;
  choose(mend);  // it releases the context, removes the icon and ends, before anything else runs
  desk.advance(5000);
  EXPECT_TRUE(desk.ended() && desk.trayIcons.empty());
  EXPECT_EQ(desk.heldScreenDCs() + desk.callsAfterEnd + desk.settingWrites - writes, 0);
  EXPECT_EQ(app.m.kakePer, 33);
}

}  // namespace
