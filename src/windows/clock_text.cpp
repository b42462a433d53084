// The clock text of ペッコ's tooltip and message box.
#include "windows/clock_text.h"

#include <array>
#include <string_view>

namespace {
constexpr std::array<std::string_view, 7> kWeekdays{"日", "月", "火", "水", "木", "金", "土"};
}

std::string WeekdayKanji(std::int16_t weekday) {
  if (weekday < 1 || weekday > 7) return {};
  return std::string(kWeekdays[weekday - 1]);
}

std::string clockText(const platform::DateTime& t) {
  return std::to_string(t.month) + "月" + std::to_string(t.day) + "日(" +
         WeekdayKanji(static_cast<std::int16_t>(t.weekday)) + ") " + std::to_string(t.hour) + "時" +
         std::to_string(t.minute) + "分 だよ";
}
