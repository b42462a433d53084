// What every cell of the three sprite sheets shows, one entry per cell.
//
// To change a pose, edit its entry: hands are offsets in pixels from where
// they hang at rest (x right, y down), feet move sideways by dx and rise by
// lift, and the face is chosen from the Eyes / Mouth lists in rig.hpp.
// Limb 1 is the viewer's left one (front and back views) or the far one
// (side view); limb 2 the viewer's right or the near one.  Side views face
// left; .mirror = true draws the cell facing right.
#pragma once

#include <array>

#include "rig.hpp"

namespace artgen {

// ---- rPic1: walking (12 cells of 64 × 64) ---------------------------------
// Cells 9..11 are not listed: they are cells 6..8 mirrored pixel for pixel.
// The tables keep one pose to a line.
// clang-format off
inline constexpr std::array<PekkoPose, 9> kWalk = {{
    // 0 front, standing
    {.body = View::Front, .head = View::Front},
    // 1 front, stride: the viewer's left foot swings (lifted), the opposite
    //   arm swings forward (up and in)
    {.body = View::Front, .head = View::Front, .hand1 = {0, 1}, .hand2 = {-2, -3}, .foot1 = {.dx = 0.5, .lift = 2}},
    // 2 front, other stride
    {.body = View::Front, .head = View::Front, .hand1 = {2, -3}, .hand2 = {0, 1}, .foot2 = {.dx = -0.5, .lift = 2}},
    // 3 back, standing
    {.body = View::Back, .head = View::Back},
    // 4 back, stride
    {.body = View::Back, .head = View::Back, .hand1 = {0, 1}, .hand2 = {-2, -3}, .foot1 = {.dx = 0.5, .lift = 2}},
    // 5 back, other stride
    {.body = View::Back, .head = View::Back, .hand1 = {2, -3}, .hand2 = {0, 1}, .foot2 = {.dx = -0.5, .lift = 2}},
    // 6 side (facing left), standing
    {.body = View::Side, .head = View::Side},
    // 7 side, stride: near leg forward, near arm back
    {.body = View::Side, .head = View::Side, .bob = 1, .hand1 = {-5, -1}, .hand2 = {5, -1},
     .foot1 = {.dx = 5, .lift = 0}, .foot2 = {.dx = -6}},
    // 8 side, other stride
    {.body = View::Side, .head = View::Side, .bob = 1, .hand1 = {5, -1}, .hand2 = {-5, -1},
     .foot1 = {.dx = -6}, .foot2 = {.dx = 5, .lift = 0}},
}};

// ---- rPic2: actions (14 cells of 64 × 64) ----------------------------------
inline constexpr std::array<PekkoPose, 14> kActions = {{
    // 0 standing, right hand raised, mouth open ("hi!")
    {.hand2 = {6, -20}, .mouth = Mouth::Open},
    // 1 the same, mouth closed
    {.hand2 = {6, -20}, .mouth = Mouth::Smile},
    // 2 squatting, eyes open
    {.squat = true, .mouth = Mouth::Small},
    // 3 squatting, eyes closed
    {.squat = true, .eyes = Eyes::Closed, .mouth = Mouth::Small},
    // 4 squatting, grinning
    {.squat = true, .eyes = Eyes::Happy, .mouth = Mouth::Grin},
    // 5 squatting, laughing with eyes shut, sparkles around
    {.squat = true, .bob = -1, .eyes = Eyes::Shut, .mouth = Mouth::Laugh, .marks = fx::Sparkles},
    // 6 squatting, head turned aside (to the right) with speed lines
    {.squat = true, .head = View::Side, .headRight = true, .eyes = Eyes::Closed, .mouth = Mouth::Small,
     .marks = fx::Motion},
    // 7 side view facing right, eyes closed, hand at the mouth
    {.body = View::Side, .head = View::Side, .hand2 = {-9, -13}, .eyes = Eyes::Closed, .mouth = Mouth::Small,
     .mirror = true},
    // 8 squatting, looking to the viewer's left, small smile
    {.squat = true, .gaze = -2, .mouth = Mouth::Smile},
    // 9 squatting, looking to the viewer's right, mischievous
    {.squat = true, .gaze = 2, .mouth = Mouth::Cat},
    // 10 squatting, sweating and blushing, a little tail behind him
    {.squat = true, .eyes = Eyes::Happy, .mouth = Mouth::Wavy, .marks = fx::Sweat | fx::Blush | fx::Tail},
    // 11 squatting, startled, sweating
    {.squat = true, .bob = -1, .eyes = Eyes::Wide, .mouth = Mouth::Oh, .marks = fx::Sweat},
    // 12 side view facing left, sweating
    {.body = View::Side, .head = View::Side, .eyes = Eyes::Open, .mouth = Mouth::Wavy, .marks = fx::Sweat},
    // 13 side view facing left, blushing, hand at the mouth
    {.body = View::Side, .head = View::Side, .hand2 = {-9, -13}, .eyes = Eyes::Happy, .mouth = Mouth::Small,
     .marks = fx::Blush},
}};

// ---- rPic3: the companion (11 cells of 64 × 92) ----------------------------
struct CompanionCell {
    RerPose rer;
    bool board = false;        // skateboard under him
    bool withPekko = false;    // ペッコ rides along in front of him
    int rerX = 32;             // rer's centre column
};

// ペッコ's pose when he rides along (cell 10).
inline constexpr PekkoPose kPassenger = {.body = View::Side, .head = View::Side, .hand1 = {-3, -2},
                                         .hand2 = {-5, -5}, .foot1 = {.dx = 4}, .foot2 = {.dx = -4},
                                         .mouth = Mouth::Open};
inline constexpr int kPassengerX = 20;

inline constexpr std::array<CompanionCell, 11> kCompanion = {{
    // 0 riding the skateboard
    {.rer = {.stance = RerStance::Board, .bob = 2, .hand1 = {5, -3}, .hand2 = {-6, -4}}, .board = true},
    // 1 side view facing left, standing
    {.rer = {.stance = RerStance::Stand}},
    // 2 stride
    {.rer = {.stance = RerStance::Stand, .bob = 1, .hand1 = {-5, -1}, .hand2 = {5, -1}, .foot1 = {.dx = 6},
             .foot2 = {.dx = -7}}},
    // 3 other stride
    {.rer = {.stance = RerStance::Stand, .bob = 1, .hand1 = {5, -1}, .hand2 = {-5, -1}, .foot1 = {.dx = -7},
             .foot2 = {.dx = 6}}},
    // 4 seated, smiling
    {.rer = {.view = View::Front, .stance = RerStance::Seated, .mouth = Mouth::Smile}},
    // 5 seated, talking
    {.rer = {.view = View::Front, .stance = RerStance::Seated, .hand2 = {2, -5}, .mouth = Mouth::Open}},
    // 6 seated, laughing with eyes closed
    {.rer = {.view = View::Front, .stance = RerStance::Seated, .eyes = Eyes::Happy, .mouth = Mouth::Grin}},
    // 7 seated, embarrassed: sweat and blush
    {.rer = {.view = View::Front, .stance = RerStance::Seated, .eyes = Eyes::Closed, .mouth = Mouth::Wavy,
             .marks = fx::Sweat | fx::Blush}},
    // 8 on the board, sweating
    {.rer = {.stance = RerStance::Board, .bob = 2, .hand1 = {5, -3}, .hand2 = {-6, -4}, .mouth = Mouth::Wavy,
             .marks = fx::Sweat},
     .board = true},
    // 9 on the board, holding out his hand
    {.rer = {.stance = RerStance::Board, .bob = 2, .hand1 = {5, -3}, .hand2 = {-15, -11}, .mouth = Mouth::Open},
     .board = true},
    // 10 on the board together with ペッコ
    {.rer = {.stance = RerStance::Board, .bob = 2, .hand1 = {4, -3}, .hand2 = {-10, -8}, .mouth = Mouth::Smile},
     .board = true, .withPekko = true, .rerX = 42},
}};

}  // namespace artgen
// clang-format on
