// rer's visit: what its scripted steps do, as data.
#pragma once

#include <array>
#include <cstdint>

// One thing a scripted step does. P is ペッコ's window, R is rer's; moves
// are in twips at 15 twips per pixel (designTwips), raises in pixels.
enum class VisitOp : std::uint8_t {
  Interval,         // Timer1's interval := arg ms
  PekkoWalk,        // draw P walking cell arg
  PekkoAction,      // draw P action cell arg
  Rion,             // draw R cell arg
  RionBesidePekko,  // R.Left := P.Left + arg pixels
  RionLeft,         // R.Left := R.Left - arg
  RionUp,           // R.Top := R.Top - arg pixels
  CollapseRion,     // R.Height := 0: unseen until he is drawn again
  PekkoLeft,        // P.Left := P.Left - arg
};

struct VisitAction {
  VisitOp op;
  std::int16_t arg;
};

// The actions of one step, in order; unused places stay empty.
struct VisitStep {
  std::int16_t step;
  std::array<VisitAction, 5> actions;
  int count;
};

// The walk-up (steps 2 to 7) and the leaving together (steps 10 to 15).
// clang-format off
inline constexpr std::array<VisitStep, 12> kVisitScript{{
    {2, {{{VisitOp::Interval, 250}, {VisitOp::PekkoWalk, 9}, {VisitOp::RionBesidePekko, 80},
          {VisitOp::RionLeft, 160}, {VisitOp::Rion, 2}}}, 5},
    {3, {{{VisitOp::RionLeft, 160}, {VisitOp::Rion, 1}}}, 2},
    {4, {{{VisitOp::RionLeft, 160}, {VisitOp::Rion, 3}}}, 2},
    {5, {{{VisitOp::RionLeft, 160}, {VisitOp::Rion, 1}, {VisitOp::PekkoAction, 7}, {VisitOp::Interval, 1000}}}, 4},
    {6, {{{VisitOp::Interval, 500}, {VisitOp::RionUp, 6}, {VisitOp::CollapseRion, 0}, {VisitOp::PekkoAction, 2},
          {VisitOp::Rion, 4}}}, 5},
    {7, {{{VisitOp::CollapseRion, 0}, {VisitOp::PekkoAction, 2}, {VisitOp::Rion, 4}}}, 3},
    {10, {{{VisitOp::Interval, 500}, {VisitOp::Rion, 9}}}, 2},
    {11, {{{VisitOp::PekkoAction, 13}}}, 1},
    {12, {{{VisitOp::Interval, 250}, {VisitOp::PekkoLeft, 160}, {VisitOp::PekkoWalk, 7}}}, 3},
    {13, {{{VisitOp::PekkoLeft, 160}, {VisitOp::PekkoWalk, 6}}}, 2},
    {14, {{{VisitOp::PekkoLeft, 160}, {VisitOp::PekkoWalk, 7}}}, 2},
    {15, {{{VisitOp::PekkoLeft, 160}, {VisitOp::PekkoWalk, 6}}}, 2},
}};
// clang-format on

// The visit's fixed steps.
inline constexpr std::int16_t kVisitArrival = 1;
inline constexpr std::int16_t kVisitChat = 8;
inline constexpr std::int16_t kVisitFarewell = 9;
inline constexpr std::int16_t kVisitLeaveTogether = 16;

// The chat: each tick draws e, p and q from 1 to 50.
struct ChatFace {
  std::int16_t upTo;
  std::int16_t cell;
};
inline constexpr std::array<ChatFace, 3> kPekkoChatFaces{{{30, 2}, {40, 8}, {50, 9}}};
inline constexpr std::array<ChatFace, 3> kRionChatFaces{{{40, 4}, {45, 5}, {50, 6}}};
inline constexpr std::int16_t kBlushBelow = 10;  // p and q both below this: a blush frame
