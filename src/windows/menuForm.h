// The hidden window that owns the notification-area icon and its popup
// menu, and runs the menu's commands.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>

#include "platform/platform.h"

class Program;

// mgo's caption is the only record of whether ペッコ is on the desktop.
inline constexpr std::string_view kSendOut = "遊びにやる";
inline constexpr std::string_view kCallBack = "呼び戻す";

// The items of the menu `mfile`, top to bottom.
enum MenuItem : int { mgo, sep3, m3, m4, sep, mlove, mabout, sep2, mend, kMenuItemCount };

// Their captions, in the same order; "-" is a separator.
inline constexpr std::array<std::string_view, kMenuItemCount> kMenuCaptions{{
    kSendOut,            // mgo
    "-",                 // sep3
    "日付と時刻の調整",  // m3
    "音量の調節",        // m4
    "-",                 // sep
    "駆け落ち率の設定",  // mlove
    "ﾊﾞｰｼﾞｮﾝ情報",       // mabout
    "-",                 // sep2
    "終了",              // mend
}};

// The rate dialog's texts.
inline constexpr std::string_view kRateLabel = "rerと駆け落ちする確率";
inline constexpr std::string_view kRateUnit = "%";

inline constexpr std::string_view kProductName = "ぴょこぴょこペッコ";
inline constexpr std::string_view kTrayTip = "クリックするとメニューが出るよ!";
inline constexpr std::string_view kVersionText = "ぴょこぴょこペッコ Ver.1.21";
inline constexpr std::string_view kVersionTitle = "ﾊﾞｰｼﾞｮﾝ情報";

// The notification-area record for menuForm's window and icon.
platform::NotifyIconData trayRecord(platform::Handle hWnd, platform::Handle hIcon);

// The mouse message number carried by a tray callback that arrived as a
// mouse move at X twips.
int trayMessageFromX(float x, float twipsPerPixelX);

// The command lines of the date-and-time and the volume commands.
std::string dateTimeCommand(std::string_view winDir, std::string_view sysDir);
std::string volumeCommand(std::string_view winDir);
// What to start instead where the Windows directory holds no such program.
std::string dateTimeFallbackCommand(std::string_view sysDir);
std::string volumeFallbackCommand(std::string_view sysDir);

class menuForm {
 public:
  explicit menuForm(Program& app);

  void tuskicon1();  // adds the icon
  void tuskicon2();  // removes it

  platform::Window& form() { return *form_; }
  platform::Menu& mfile() { return *mfile_; }
  platform::TextBox& Text1() { return *text1_; }
  platform::Button& Command1() { return *command1_; }

  // Event handlers (public so that the menu and the tests reach them alike).
  void Form_MouseMove(int button, int shift, float x, float y);
  void mgo_Click();
  void mlove_Click();
  void Text1_Change();
  void Command1_Click();
  void m3_Click();
  void m4_Click();
  void mabout_Click();
  void mend_Click();

 private:
  void runMenuItem(MenuItem item);
  void addDialogControls();
  void closeDialog();

  Program& app_;
  std::unique_ptr<platform::Window> form_;
  platform::Menu* mfile_ = nullptr;
  platform::TextBox* text1_ = nullptr;
  platform::Button* command1_ = nullptr;
  bool dialogOpen_ = false;  // the dialog shown, the characters kept below it
};
