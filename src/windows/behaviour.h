// The behaviour engine's tables: the six activities the scheduler draws
// from, and the four walks.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "platform/platform.h"

// Activity numbers, as actMode holds them.
enum Activity : std::int16_t {
  kWalkDown = 1,
  kWalkUp = 2,
  kWalkLeft = 3,
  kWalkRight = 4,
  kWaveHand = 5,
  kSitDown = 6,
  kRionVisit = 7,
};

// The scheduler's draw from 1 to 100 picks the first row whose upper bound
// it does not exceed.
struct ActivityRange {
  std::int16_t upTo;
  Activity activity;
};
inline constexpr std::array<ActivityRange, 6> kActivityRanges{{
    {10, kWalkDown},
    {20, kWalkUp},
    {30, kWalkLeft},
    {40, kWalkRight},
    {54, kWaveHand},
    {100, kSitDown},
}};

// The activity a draw from 1 to 100 picks.
constexpr Activity activityForDraw(std::int16_t r) {
  for (const ActivityRange& row : kActivityRanges)
    if (r <= row.upTo) return row.activity;
  return kActivityRanges.back().activity;
}

// Whether the scheduler refuses to start `activity` with ペッコ's window at
// (left, top) twips: a walk is not started toward an edge of the desktop
// (with no monitor beyond it) that he has reached.
bool refusesToStart(Activity activity, float left, float top, const platform::ScreenMetrics& screen,
                    const std::vector<platform::Monitor>& monitors);

// A walk: five ticks, turning on the first, then four moves of 160 twips,
// each followed by the next frame of the stride.
struct WalkPattern {
  bool vertical;                      // moves Top rather than Left
  float move;                         // twips per step, signed
  std::array<std::int16_t, 5> cells;  // walking-sheet cells at steps 1 to 5
};
inline constexpr float kWalkMove = 160;
inline constexpr std::int16_t kWalkSteps = 5;
inline constexpr std::array<WalkPattern, 4> kWalks{{
    {true, +kWalkMove, {0, 1, 0, 2, 0}},     // down
    {true, -kWalkMove, {3, 4, 3, 5, 3}},     // up
    {false, -kWalkMove, {6, 7, 6, 8, 6}},    // left
    {false, +kWalkMove, {9, 10, 9, 11, 9}},  // right
}};

// The sit-down's draw from 1 to 100 at each of its ticks from the third on.
struct SitDownRange {
  std::int16_t upTo;
  std::int16_t cell;  // action-sheet cell drawn; -1: the visit starts; -2: it ends
};
inline constexpr std::int16_t kStartVisit = -1;
inline constexpr std::int16_t kEndSitDown = -2;
inline constexpr std::array<SitDownRange, 6> kSitDownRanges{{
    {50, 2},  // eyes open
    {70, 3},  // eyes closed
    {80, 4},  // grinning
    {93, 5},  // laughing
    {95, kStartVisit},
    {100, kEndSitDown},
}};

// The margin that keeps a walk from starting too close to the bottom or the
// right edge: twice the frame, in pixels.
inline constexpr float kEdgeMarginPixels = 128;

// rer's ride across the screen: each step moves his window this far to the
// left (twips at 15 twips per pixel, see designTwips) and lets events run this many passes, spread over about this time.
inline constexpr float kRionStep = 200;
inline constexpr int kRionPasses = 700;
inline constexpr int kRionPaceMs = 40;
