// Contract tests of the simulated desktop's child controls: what the real
// platform's STATIC, EDIT and BUTTON controls do where the dialog relies on
// it (tests/win32/controls_test.cpp checks the same on the real desktop).
#include <gtest/gtest.h>

#include "platform/sim/sim_desktop.h"

using namespace platform;
using namespace platform::sim;

namespace {

using Key = SimDesktop::Key;

class SimControls : public ::testing::Test {
 protected:
  SimControls() {
    dialog.show();
    rate.onChange = [this] { seen.push_back(rate.text()); };
    ok.setDefault(true);
    cancel.setCancel(true);
    ok.onClick = [this] { seen.push_back("ok"); };
    cancel.onClick = [this] { seen.push_back("cancel"); };
  }

  SimDesktop desk;
  SimWindow dialog{desk, {"dialog", "レート", WindowKind::Dialog, 3000, 1500}};
  Label& caption = dialog.addLabel(8, 8, 120, 16, "駆け落ち率");
  TextBox& rate = dialog.addTextBox(8, 28, 60, 20, "10");
  Button& ok = dialog.addButton(80, 28, 60, 24, "OK");
  Button& cancel = dialog.addButton(150, 28, 60, 24, "キャンセル");
  std::vector<std::string> seen;  // change events with the text then, and clicks
};

TEST_F(SimControls, TextBoxReportsEveryChangeTypedOrSet) {
  EXPECT_EQ(caption.text(), "駆け落ち率");
  rate.setText("25");
  EXPECT_EQ(seen, (std::vector<std::string>{"25"}));  // at once: no event pass
  rate.setText("25");                                 // the same text again is a change too
  desk.type(rate, "0");
  EXPECT_EQ(seen.size(), 2u);  // typing waits for the next pass
  desk.doEvents();
  // Clicked into, the caret goes after the text; each character is a change.
  EXPECT_EQ(seen, (std::vector<std::string>{"25", "25", "250"}));
  rate.selectAll();
  desk.type(rate, "7\b\b");  // replaces the selection; the second backspace finds nothing
  desk.doEvents();
  EXPECT_EQ(seen, (std::vector<std::string>{"25", "25", "250", "7", ""}));
}

TEST_F(SimControls, DisabledControlsAndHiddenWindowsTakeNoInput) {
  rate.setEnabled(false);
  ok.setEnabled(false);
  EXPECT_FALSE(rate.enabled());
  desk.type(rate, "5");
  desk.click(ok);
  desk.key(dialog, Key::Enter);
  desk.doEvents();
  EXPECT_EQ(rate.text(), "10");
  EXPECT_TRUE(seen.empty());

  rate.setEnabled(true);
  ok.setEnabled(true);
  dialog.hide();
  desk.type(rate, "5");
  desk.click(ok);
  desk.key(dialog, Key::Escape);
  desk.doEvents();
  EXPECT_TRUE(seen.empty());

  dialog.show();
  desk.click(ok);
  desk.doEvents();
  EXPECT_EQ(seen, (std::vector<std::string>{"ok"}));
}

TEST_F(SimControls, TabVisitsEnabledControlsInOrderAndSelectsTheText) {
  auto& box = static_cast<SimTextBox&>(rate);
  desk.key(dialog, Key::Tab);
  desk.doEvents();
  EXPECT_TRUE(box.hasFocus());  // the label is passed over
  EXPECT_EQ(box.selectionLength, 2u);
  ok.setEnabled(false);
  desk.key(dialog, Key::Tab);
  desk.doEvents();
  EXPECT_TRUE(static_cast<SimButton&>(cancel).hasFocus());
  desk.key(dialog, Key::Tab);  // round to the first
  desk.doEvents();
  EXPECT_TRUE(box.hasFocus());
  // A disabled control loses the focus, and cannot take it.
  rate.setEnabled(false);
  EXPECT_EQ(dialog.focused, nullptr);
  rate.focus();
  EXPECT_EQ(dialog.focused, nullptr);
}

TEST_F(SimControls, EnterPressesTheDefaultButtonAndEscTheCancelButton) {
  rate.focus();
  desk.key(dialog, Key::Enter);
  desk.key(dialog, Key::Escape);
  desk.doEvents();
  EXPECT_EQ(seen, (std::vector<std::string>{"ok", "cancel"}));
  ok.setDefault(false);
  cancel.setEnabled(false);
  desk.key(dialog, Key::Enter);
  desk.key(dialog, Key::Escape);
  desk.doEvents();
  EXPECT_EQ(seen.size(), 2u);
}

}  // namespace
