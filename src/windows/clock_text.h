// The texts ペッコ tells about the date and time.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

// The weekday's kanji, Sunday = 1; the empty text for any other number.
std::string WeekdayKanji(std::int16_t weekday);

// For example 12月5日(土) 22時7分 だよ: numbers without leading zeros, one
// ordinary space after the parenthesis and one after 分.
std::string clockText(const platform::DateTime& t);
