// The two character rigs.  A pose is a handful of numbers (which view, where
// the hands and feet are, which face) and the rig turns it into pixels; the
// per-cell pose tables live in poses.hpp.
#pragma once

#include "raster.hpp"

namespace artgen {

enum class View : std::uint8_t {
  Front,
  Back,
  Side,  // profile facing left; a right-facing cell is the mirror image
};

enum class Eyes : std::uint8_t {
  Open,
  Closed,  // calm, lids down (a small smile-shaped curve)
  Shut,    // squeezed shut, > <
  Happy,   // ^ ^
  Wide,    // startled: white eyes with small pupils
};

enum class Mouth : std::uint8_t {
  Smile,
  Small,  // tiny closed mouth
  Open,   // talking
  Grin,   // wide, teeth showing
  Laugh,  // big open laugh
  Wavy,   // flustered
  Oh,     // small round "o"
  Cat,    // ω-shaped, mischievous
};

// Extra marks drawn around a figure; combine with |.
namespace fx {
inline constexpr unsigned Sweat = 1u << 0;     // sweat drops by the head
inline constexpr unsigned Blush = 1u << 1;     // strong blush on the cheeks
inline constexpr unsigned Sparkles = 1u << 2;  // stars around the head
inline constexpr unsigned Motion = 1u << 3;    // speed lines behind the head
inline constexpr unsigned Tail = 1u << 4;      // a little tail behind the body
}  // namespace fx

// A foot, relative to where it rests: dx to the side (negative = left on
// screen, which is "forward" in the side view) and lift above the ground.
struct Foot {
  double dx = 0, lift = 0;
};

// Which side the numbered limbs are: in the front and back views limb 1 is on
// the viewer's left and limb 2 on the viewer's right; in the side view limb 1
// is the far one (drawn behind the body) and limb 2 the near one.
struct PekkoPose {
  View body = View::Front;
  bool squat = false;
  View head = View::Front;
  bool headRight = false;  // a side-view head facing right instead of left
  int bob = 0;             // body and head lowered by this many pixels
  Pt hand1{}, hand2{};     // hand offsets from the resting position
  Foot foot1{}, foot2{};
  Eyes eyes = Eyes::Open;
  int gaze = 0;  // pupils moved sideways (front view)
  Mouth mouth = Mouth::Smile;
  unsigned marks = 0;   // fx:: flags
  bool mirror = false;  // draw the whole cell mirrored (facing right)
};

enum class RerStance : std::uint8_t {
  Stand,   // on the ground
  Seated,  // squatting, front view
  Board,   // standing on the skateboard
};

struct RerPose {
  View view = View::Side;
  RerStance stance = RerStance::Stand;
  int bob = 0;
  Pt hand1{}, hand2{};
  Foot foot1{}, foot2{};
  Eyes eyes = Eyes::Open;
  Mouth mouth = Mouth::Smile;
  unsigned marks = 0;
};

// Ground rows: the lowest outline row of anything standing on the ground.
inline constexpr int kPekkoGround = 61;  // in a 64 × 64 cell
inline constexpr int kRerGround = 89;    // in a 64 × 92 cell
// rer's window stands 18 pixels above ペッコ's while the two squat and chat:
// on this row rer's feet are on ペッコ's ground. (Standing, rer is too tall
// to do the same while he walks up; he walks a little in front of him.)
inline constexpr int kRerSeatedGround = kPekkoGround + 18;
// Top outline row of the skateboard deck (board on kRerGround); riders stand
// on it.
inline constexpr int kDeckTop = kRerGround - 10;

// Draws ペッコ with his body centred on column cx and his feet on row ground.
void drawPekko(Canvas& c, const PekkoPose& p, int cx, int ground);
// Marks that go on after the figure's outline (speed lines).
void drawPekkoAfterOutline(Canvas& c, const PekkoPose& p, int cx, int ground);

void drawRer(Canvas& c, const RerPose& p, int cx, int ground);
// The skateboard seen from the side, wheels standing on row ground.
void drawBoard(Canvas& c, int cx, int ground);

// ペッコ's face alone, front view, for the icon; head radius rx × ry.
void drawPekkoFace(Canvas& c, double cx, double cy, double rx, double ry);

}  // namespace artgen
