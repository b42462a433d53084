// ペッコ: a round chibi boy — big head with a brown bowl cut and one curl on
// top, yellow shirt, blue shorts, red shoes.  Everything here is measured
// from his centre column cx and the ground row; poses only move hands, feet,
// the bob and the face.
#include <algorithm>
#include <cmath>

#include "marks.hpp"
#include "pen.hpp"
#include "rig.hpp"

namespace artgen {
namespace {

constexpr double kHeadRx = 15, kHeadRy = 13.5;

// ---- face -----------------------------------------------------------------

// Eye with its top-left pixel at (x, y) in head-local coordinates.  The
// right eye of a front face passes flip so that asymmetric shapes (> <) point
// inwards; the open eye keeps its highlight top-left on both sides.
void eye(Canvas& c, const Pen& pen, int x, int y, Eyes e, bool flip) {
  auto put = [&](int dx, int dy, std::initializer_list<std::string_view> rows, bool mirrorIt) {
    pen.stamp(c, x + dx, y + dy, rows, kFaceKey, mirrorIt);
  };
  switch (e) {
    case Eyes::Open: put(0, 0, {".oo.", "owoo", "oooo", "oooo", ".oo."}, false); break;
    case Eyes::Closed: put(0, 2, {"o..o", ".oo."}, flip); break;
    case Eyes::Shut: put(0, 1, {"oo..", "..oo", "oo.."}, flip); break;
    case Eyes::Happy: put(0, 1, {".oo.", "o..o"}, flip); break;
    case Eyes::Wide: put(-1, -1, {".ooo.", "owwwo", "owowo", "owwwo", ".ooo."}, flip); break;
  }
}

void mouth(Canvas& c, const Pen& pen, int cx, int y, Mouth m) {
  switch (m) {
    case Mouth::Smile: pen.stamp(c, cx - 2, y, {"o..o", ".oo."}, kFaceKey); break;
    case Mouth::Small: pen.stamp(c, cx - 1, y + 1, {"oo"}, kFaceKey); break;
    case Mouth::Open: pen.stamp(c, cx - 2, y, {".oo.", "ommo", "ommo", ".oo."}, kFaceKey); break;
    case Mouth::Grin: pen.stamp(c, cx - 3, y, {"oooooo", "owwwwo", ".ommo.", "..oo.."}, kFaceKey); break;
    case Mouth::Laugh:
      pen.stamp(c, cx - 3, y, {"oooooo", "ommmmo", "ommmmo", ".ommo.", "..oo.."}, kFaceKey);
      break;
    case Mouth::Wavy: pen.stamp(c, cx - 3, y, {".o..o.", "o.oo.o"}, kFaceKey); break;
    case Mouth::Oh: pen.stamp(c, cx - 1, y, {".oo.", "omoo", ".oo."}, kFaceKey); break;
    case Mouth::Cat: pen.stamp(c, cx - 3, y, {"o.oo.o", ".o..o."}, kFaceKey); break;
  }
}

// Cheeks: always a touch of pink; strongly blushing with fx::Blush.
void cheek(Canvas& c, const Pen& pen, int x, int y, bool blush) {
  if (blush)
    pen.stamp(c, x - 1, y, {".bbbb.", "bobobb", ".bbbb."}, kFaceKey);
  else
    pen.stamp(c, x, y + 1, {"cccc"}, kFaceKey);
}

struct Face {
  Eyes eyes;
  int gaze;
  Mouth mouth;
  unsigned marks;
};

// ---- head -----------------------------------------------------------------

// The bowl cut seen from the front: a dome over the head whose lower edge is
// a row of rounded locks, longer at the temples.
Shape frontHair(const Pen& pen, double rx, double ry) {
  const double k = rx / kHeadRx;
  Shape dome = pen.ellipse(0, -1.5 * k, rx + 1, ry);
  const double cx = pen.ox, cy = pen.oy;
  Shape bangs = [=](double x, double y) {
    const double lx = (x - cx) / k, ly = (y - cy) / k;
    // Locks 5 px wide; each ends in a point at its middle.
    const double t = std::fmod(lx + 102.5, 5.0) / 5.0;
    const double tri = std::fabs(t - 0.5) * 2;  // 0 at a lock's middle
    const double edge = std::fabs(lx) > 10.5 ? 6.0 - (std::fabs(lx) - 10.5) * 0.2 : -1.0 - 3.0 * tri;
    return ly < edge;
  };
  return intersect(dome, bangs);
}

// The bowl cut in profile (facing local -x): fringe over the brow, and at
// the back a line that slants from the crown past the ear to the nape.
Shape sideHair(const Pen& pen, double rx, double ry) {
  Shape dome = pen.ellipse(1.5, -1.5, rx - 0.3, ry);
  const Pen q = pen;
  Shape cover = [=](double x, double y) {
    const double lx = (x - q.ox) * q.sx, ly = y - q.oy;
    if (lx > -1.0 + 0.5 * std::max(ly + 1.0, 0.0)) return true;
    const double t = std::fmod(lx + 102.5, 5.0) / 5.0;
    return ly < -1.0 - 3.0 * std::fabs(t - 0.5) * 2;
  };
  return intersect(dome, cover);
}

Shape ahoge(const Pen& pen) {
  return unite(pen.capsule({0.5, -13}, {2, -17.5}, 1.2), pen.capsule({2, -17.5}, {5.5, -19}, 1.2));
}

// The hair with its shade and a band of shine where `shine` crosses it.
void drawHair(Canvas& c, const Shape& hair, const Shape& shine) {
  fillShaded(c, hair, Hair, HairDark, -1.5, -1.5);
  fillOver(c, intersect(hair, shine), HairLight);
}

void faceFront(Canvas& c, const Pen& pen, const Face& f, double k) {
  const int ey = int(std::lround(1 * k)), ex = int(std::lround(6 * k));
  eye(c, pen, -ex - 2 + f.gaze, ey, f.eyes, false);
  eye(c, pen, ex - 2 + f.gaze, ey, f.eyes, true);
  const bool blush = f.marks & fx::Blush;
  cheek(c, pen, -int(std::lround(12 * k)), ey + 5, blush);
  cheek(c, pen, int(std::lround(12 * k)) - 4, ey + 5, blush);
  mouth(c, pen, f.gaze, ey + 7, f.mouth);
}

void drawHead(Canvas& c, double hx, double hy, View view, bool right, const Face& f) {
  const Pen pen{hx, hy, right ? -1 : 1};
  switch (view) {
    case View::Front: {
      fillOutlined(c, ahoge(pen), Hair);
      fillShaded(c, pen.ellipse(0, 0, kHeadRx, kHeadRy), Skin, SkinShade, -2, -2);
      drawHair(c, frontHair(pen, kHeadRx, kHeadRy), pen.ellipse(-6, -9.5, 4.5, 1.6));
      faceFront(c, pen, f, 1.0);
      break;
    }
    case View::Back: {
      fillOutlined(c, pen.ellipse(-kHeadRx, 3, 2.2, 3), Skin);  // ears
      fillOutlined(c, pen.ellipse(kHeadRx, 3, 2.2, 3), Skin);
      fillOutlined(c, ahoge(pen), Hair);
      Shape hair = unite(pen.ellipse(0, -1.5, kHeadRx + 1, kHeadRy), pen.ellipse(0, 1, kHeadRx, kHeadRy - 1));
      drawHair(c, hair, pen.ellipse(-6, -8.5, 4.5, 1.6));
      // The whorl on the crown and the nape line.
      fillOver(c, intersect(hair, pen.capsule({-2, -6}, {1, -4}, 0.5)), HairDark);
      fillOver(c, intersect(hair, pen.capsule({1, -4}, {2, -7}, 0.5)), HairDark);
      fillOver(c, intersect(hair, pen.capsule({-4, 11}, {4, 11}, 0.5)), HairDark);
      break;
    }
    case View::Side: {
      fillOutlined(c, pen.capsule({1.5, -13}, {-1, -17.5}, 1.2), Hair);
      fillOutlined(c, pen.capsule({-1, -17.5}, {-4.5, -18.5}, 1.2), Hair);
      fillShaded(c, pen.ellipse(0, 0, kHeadRx - 0.5, kHeadRy), Skin, SkinShade, -2 * pen.sx, -2);
      drawHair(c, sideHair(pen, kHeadRx, kHeadRy), pen.ellipse(-6, -9.5, 4.5, 1.6));
      Shape ear = pen.ellipse(1.5, 3.5, 2.3, 2.8);
      fillOutlined(c, ear, Skin);
      fillOver(c, intersect(ear, pen.box(1, 3, 3, 5)), SkinShade);
      // Face features towards the front (local -x).
      eye(c, pen, -10, 1, f.eyes, false);
      cheek(c, pen, -6, 6, f.marks & fx::Blush);
      mouth(c, pen, -9, 7, f.mouth);
      break;
    }
  }
}

// ---- limbs ------------------------------------------------------------------

void arm(Canvas& c, Pt shoulder, Pt hand, bool far) {
  const Pt elbow{shoulder.x + (hand.x - shoulder.x) * 0.45, shoulder.y + (hand.y - shoulder.y) * 0.45};
  fillOutlined(c, unite(capsule(shoulder, hand, 2.0), circle(hand.x, hand.y, 2.5)), far ? SkinShade : Skin);
  fillOutlined(c, capsule(shoulder, elbow, 2.8), far ? ShirtShade : Shirt);
}

void leg(Canvas& c, Pt hip, double fx, double ground, double lift, View view, bool far) {
  const double sole = ground - lift;  // first row below the shoe
  fillOutlined(c, capsule(hip, {fx, sole - 4}, 2.3), far ? SkinShade : Skin);
  if (view == View::Side)
    fillOutlined(c, box(fx - 5, sole - 4, fx + 3, sole, 1.5), Shoe);
  else
    fillOutlined(c, box(fx - 4, sole - 4, fx + 4, sole, 1.5), Shoe);
}

// A thin tail curling up from behind his hip, ending in a spade.
void tail(Canvas& c, double cx, double g) {
  const Pt a{cx + 6, g - 6}, b{cx + 14, g - 7}, d{cx + 19, g - 11}, e{cx + 20, g - 16};
  fillOutlined(c, unite(unite(capsule(a, b, 1.5), capsule(b, d, 1.5)), capsule(d, e, 1.5)), Hair);
  fillOutlined(c, polygon({{cx + 20, g - 24}, {cx + 24, g - 18.5}, {cx + 20, g - 16}, {cx + 16, g - 18.5}}),
               Hair);
}

void sparkle(Canvas& c, int x, int y, bool big) {
  if (big)
    stamp(c, x - 2, y - 2, {"..s..", ".sss.", "sswss", ".sss.", "..s.."}, {{'s', Sparkle}, {'w', White}});
  else
    stamp(c, x - 1, y - 1, {".s.", "sws", ".s."}, {{'s', Sparkle}, {'w', White}});
}

}  // namespace

void drawPekko(Canvas& c, const PekkoPose& p, int cxi, int ground) {
  const double cx = cxi;
  const double g = ground, b = p.bob;
  const Face face{p.eyes, p.gaze, p.mouth, p.marks};
  double headY;
  double headX = cx;

  if (p.marks & fx::Tail) tail(c, cx, g);

  if (p.body == View::Side) {
    // Far limbs first, then body, then near limbs.
    const Pt hip{cx + 0.5, g - 11 + b};
    const Pt shoulder{cx + 0.5, g - 21 + b};
    const Pt rest{cx + 1.5, g - 13 + b};
    leg(c, hip, cx + 1 + p.foot1.dx, g, p.foot1.lift, View::Side, true);
    arm(c, shoulder, {rest.x + p.hand1.x, rest.y + p.hand1.y}, true);
    leg(c, hip, cx - 0.5 + p.foot2.dx, g, p.foot2.lift, View::Side, false);
    fillShaded(c, box(cx - 6.5, g - 16 + b, cx + 7, g - 8 + b, 2.5), Shorts, ShortsShade, -2, 0);
    fillShaded(c, box(cx - 7, g - 25 + b, cx + 7, g - 13 + b, 3.5), Shirt, ShirtShade, -2, 0);
    headX = cx - 1;
    headY = g - 37 + b;
    drawHead(c, headX, headY, p.head, p.headRight, face);
    arm(c, shoulder, {rest.x + p.hand2.x, rest.y + p.hand2.y}, false);
  } else if (!p.squat) {
    const Pt hip1{cx - 4, g - 11 + b}, hip2{cx + 4, g - 11 + b};
    leg(c, hip1, cx - 4.5 + p.foot1.dx, g, p.foot1.lift, View::Front, false);
    leg(c, hip2, cx + 4.5 + p.foot2.dx, g, p.foot2.lift, View::Front, false);
    fillShaded(c, box(cx - 9, g - 16 + b, cx + 9, g - 8 + b, 2.5), Shorts, ShortsShade, -2, 0);
    fillShaded(c, box(cx - 9.5, g - 25 + b, cx + 9.5, g - 13 + b, 3.5), Shirt, ShirtShade, -2, 0);
    headY = g - 37 + b;
    drawHead(c, headX, headY, p.head, p.headRight, face);
    arm(c, {cx - 7.5, g - 21 + b}, {cx - 11 + p.hand1.x, g - 13 + b + p.hand1.y}, false);
    arm(c, {cx + 7.5, g - 21 + b}, {cx + 11 + p.hand2.x, g - 13 + b + p.hand2.y}, false);
  } else {
    // Squatting, front view: knees up and apart, hands resting between
    // them, the big head low over everything.
    fillShaded(c, box(cx - 11, g - 11, cx + 11, g - 4, 3), Shorts, ShortsShade, -2, 0);
    for (int s : {-1, 1}) {
      const double fxp = cx + s * 7.5 + (s < 0 ? p.foot1.dx : p.foot2.dx);
      fillOutlined(c, box(fxp - 4.5, g - 4, fxp + 4.5, g, 1.5), Shoe);
    }
    fillShaded(c, box(cx - 9, g - 17 + b, cx + 9, g - 7, 3.5), Shirt, ShirtShade, -2, 0);
    for (int s : {-1, 1}) {
      Shape knee =
          unite(ellipse(cx + s * 8, g - 9, 4.2, 3.8), capsule({cx + s * 8, g - 8}, {cx + s * 8, g - 5}, 3.3));
      fillShaded(c, knee, Skin, SkinShade, -1.5, -1.5);
    }
    headY = g - 28 + b;
    drawHead(c, headX, headY, p.head, p.headRight, face);
    arm(c, {cx - 6.5, g - 15 + b}, {cx - 3 + p.hand1.x, g - 6.5 + p.hand1.y}, false);
    arm(c, {cx + 6.5, g - 15 + b}, {cx + 3 + p.hand2.x, g - 6.5 + p.hand2.y}, false);
  }

  if (p.marks & fx::Sweat) {
    sweat(c, headX + 17.5, headY - 5);
    sweat(c, headX + 20, headY + 3);
  }
  if (p.marks & fx::Sparkles) {
    sparkle(c, int(headX) - 21, int(headY) - 9, true);
    sparkle(c, int(headX) + 20, int(headY) - 12, true);
    sparkle(c, int(headX) + 23, int(headY) - 1, false);
    sparkle(c, int(headX) - 24, int(headY) + 2, false);
  }
}

void drawPekkoAfterOutline(Canvas& c, const PekkoPose& p, int cx, int ground) {
  if (!(p.marks & fx::Motion)) return;
  // Speed lines on the side the head turned away from.
  const int headY = ground - (p.squat ? 28 : 37) + p.bob;
  const int dir = p.headRight ? -1 : 1;
  for (int i = 0; i < 3; ++i) {
    const int y = headY - 7 + i * 6;
    const int len = i == 1 ? 5 : 4;
    for (int j = 0; j < len; ++j) c.set(cx + dir * (19 + j), y, Line);
  }
}

void drawPekkoFace(Canvas& c, double cx, double cy, double rx, double ry) {
  const Pen pen{cx, cy, 1};
  const double k = rx / kHeadRx;
  fillOutlined(c,
               unite(pen.capsule({0.5 * k, -ry + 0.5}, {2 * k, -ry - 3}, 1.1),
                     pen.capsule({2 * k, -ry - 3}, {4.5 * k, -ry - 4}, 1.1)),
               Hair);
  fillShaded(c, pen.ellipse(0, 0, rx, ry), Skin, SkinShade, -2, -2);
  drawHair(c, frontHair(pen, rx, ry), pen.ellipse(-5 * k, -9 * k, 4 * k, 1.5));
  faceFront(c, pen, {Eyes::Open, 0, Mouth::Smile, 0}, k);
  outlineFigure(c);
}

}  // namespace artgen
