// rer: ペッコ's taller, lankier friend — spiky navy hair, green hoodie, grey
// trousers, red sneakers — and his skateboard.  Measured from his centre
// column cx and the ground row like ペッコ.
#include <algorithm>
#include <cmath>

#include "marks.hpp"
#include "pen.hpp"
#include "rig.hpp"

namespace artgen {
namespace {

constexpr double kRx = 10.5, kRy = 11;

void put(Canvas& c, const Pen& pen, int x, int y, std::initializer_list<std::string_view> rows,
         bool flip = false) {
  pen.stamp(c, x, y, rows, kFaceKey, flip);
}

// rer's eyes are narrower than ペッコ's, under straight brows.
void eye(Canvas& c, const Pen& pen, int x, int y, Eyes e, bool flip) {
  switch (e) {
    case Eyes::Open: put(c, pen, x, y, {"ooo.", "....", ".wo.", ".oo.", ".oo."}, flip); break;
    case Eyes::Closed: put(c, pen, x, y, {"ooo.", "....", "....", "o..o", ".oo."}, flip); break;
    case Eyes::Shut: put(c, pen, x, y, {"....", "oo..", "..oo", "oo.."}, flip); break;
    case Eyes::Happy: put(c, pen, x, y, {"....", "....", ".oo.", "o..o"}, flip); break;
    case Eyes::Wide: put(c, pen, x, y, {"o...", "....", "owwo", "owoo", "owwo"}, flip); break;
  }
}

void mouth(Canvas& c, const Pen& pen, int cx, int y, Mouth m) {
  switch (m) {
    case Mouth::Smile: put(c, pen, cx - 2, y, {"o..o", ".oo."}); break;
    case Mouth::Small: put(c, pen, cx - 1, y + 1, {"oo"}); break;
    case Mouth::Open: put(c, pen, cx - 2, y, {"oooo", "ommo", ".oo."}); break;
    case Mouth::Grin: put(c, pen, cx - 3, y, {"oooooo", "owwwwo", ".oooo."}); break;
    case Mouth::Laugh: put(c, pen, cx - 3, y, {"oooooo", "ommmmo", ".ommo.", "..oo.."}); break;
    case Mouth::Wavy: put(c, pen, cx - 3, y, {".o..o.", "o.oo.o"}); break;
    case Mouth::Oh: put(c, pen, cx - 1, y, {".o.", "omo", ".o."}); break;
    case Mouth::Cat: put(c, pen, cx - 3, y, {"o.oo.o", ".o..o."}); break;
  }
}

// Spiky hair: a cap over the head plus a crown of flame-like spikes that
// sweep backwards (local +x).
Shape spikes(const Pen& pen, bool side) {
  if (side)
    return unite(unite(pen.poly({{-8, -5}, {-9, -14}, {-2, -9}}), pen.poly({{-4, -9}, {0, -17}, {3, -10}})),
                 unite(pen.poly({{1, -10}, {9, -15}, {8, -6}}),
                       unite(pen.poly({{6, -7}, {15, -7}, {9, 0}}), pen.poly({{8, -1}, {14, 4}, {8, 6}}))));
  return unite(
      unite(pen.poly({{-10, -3}, {-13, -11}, {-5, -9}}), pen.poly({{-7, -8}, {-5, -17}, {0, -10}})),
      unite(pen.poly({{-2, -10}, {3, -18}, {5, -10}}),
            unite(pen.poly({{3, -10}, {10, -15}, {8, -6}}), pen.poly({{8, -6}, {14, -7}, {10, 0}}))));
}

Shape frontHair(const Pen& pen) {
  Shape cap = pen.ellipse(0, -2, kRx + 1, kRy);
  const double cx = pen.ox, cy = pen.oy;
  Shape fringe = [=](double x, double y) {
    const double lx = x - cx, ly = y - cy;
    // Sharp fringe points 4 px apart.
    const double t = std::fmod(lx + 101.0, 4.0) / 4.0;
    const double tri = std::fabs(t - 0.5) * 2;
    const double edge = std::fabs(lx) > 8.5 ? 3.0 : -1.0 - 4.0 * tri;
    return ly < edge;
  };
  return unite(intersect(cap, fringe), spikes(pen, false));
}

// In profile (facing local -x): fringe over the brow, the back of the head
// covered behind a line slanting down past the ear.
Shape sideHair(const Pen& pen) {
  Shape cap = pen.ellipse(1.5, -2, kRx, kRy);
  const Pen q = pen;
  Shape cover = [=](double x, double y) {
    const double lx = (x - q.ox) * q.sx, ly = y - q.oy;
    if (lx > 0.5 + 0.45 * std::max(ly + 1.0, 0.0)) return ly < 9.0;
    const double t = std::fmod(lx + 101.0, 4.0) / 4.0;
    return ly < -2.0 - 3.0 * std::fabs(t - 0.5) * 2;
  };
  return unite(intersect(cap, cover), spikes(pen, true));
}

// The hair with its shade and a band of shine.
void drawHair(Canvas& c, const Pen& pen, const Shape& hair) {
  fillShaded(c, hair, RHair, RHairShade, -1.5 * pen.sx, -1.5);
  fillOver(c, intersect(hair, pen.ellipse(-4, -8, 4, 1.4)), RHairLight);
}

void drawHead(Canvas& c, double hx, double hy, View view, const RerPose& p) {
  const Pen pen{hx, hy, 1};
  const bool blush = p.marks & fx::Blush;
  if (view == View::Front) {
    fillOutlined(c, pen.ellipse(-kRx - 0.5, 2, 2, 2.8), RSkin);
    fillOutlined(c, pen.ellipse(kRx + 0.5, 2, 2, 2.8), RSkin);
    fillShaded(c, pen.ellipse(0, 0, kRx, kRy), RSkin, RSkinShade, -2, -2);
    drawHair(c, pen, frontHair(pen));
    eye(c, pen, -7, -1, p.eyes, false);
    eye(c, pen, 3, -1, p.eyes, true);
    if (blush) {
      put(c, pen, -8, 5, {"bob"});
      put(c, pen, 5, 5, {"bob"});
    } else {
      put(c, pen, -7, 5, {"cc"});
      put(c, pen, 5, 5, {"cc"});
    }
    mouth(c, pen, 0, 6, p.mouth);
  } else {
    Shape head = unite(pen.ellipse(0, 0, kRx - 0.5, kRy), pen.circle(-kRx + 0.3, 2.5, 1.3));  // with a nose
    fillShaded(c, head, RSkin, RSkinShade, -2, -2);
    drawHair(c, pen, sideHair(pen));
    Shape ear = pen.ellipse(2.5, 2.5, 2, 2.6);
    fillOutlined(c, ear, RSkin);
    fillOver(c, intersect(ear, pen.box(2, 2, 4, 4)), RSkinShade);
    eye(c, pen, -8, -1, p.eyes, false);
    put(c, pen, -5, 5,
        blush ? std::initializer_list<std::string_view>{"bob"}
              : std::initializer_list<std::string_view>{"cc"});
    mouth(c, pen, -7, 6, p.mouth == Mouth::Grin ? Mouth::Smile : p.mouth);
  }
}

void arm(Canvas& c, Pt shoulder, Pt hand, bool far) {
  fillOutlined(c, circle(hand.x, hand.y, 2.3), far ? RSkinShade : RSkin);
  Pt wrist{hand.x + (shoulder.x - hand.x) * 0.15, hand.y + (shoulder.y - hand.y) * 0.15};
  fillOutlined(c, capsule(shoulder, wrist, 2.4), far ? HoodieShade : Hoodie);
}

void shoe(Canvas& c, double fx, double sole, bool side) {
  Shape s =
      side ? box(fx - 5.5, sole - 4, fx + 3.5, sole, 1.5) : box(fx - 4.5, sole - 4, fx + 4.5, sole, 1.5);
  fillOutlined(c, s, Sneaker);
  fillOver(c, intersect(s, box(fx - 6, sole - 1, fx + 5, sole)), White);
}

}  // namespace

void drawBoard(Canvas& c, int cxi, int ground) {
  const double cx = cxi, g = ground;
  // Rows from the top: deck outline g-10, deck g-9..g-8, its lower outline
  // g-7, truck g-6 between the wheels' outlines, wheels g-5..g-1, ground outline g.
  for (int s : {-1, 1}) fillOutlined(c, box(cx + s * 16 - 2, g - 5, cx + s * 16 + 2, g, 2), Wheel);
  Shape deck = unite(box(cx - 24, g - 9, cx + 24, g - 7),
                     unite(capsule({cx - 24.5, g - 8}, {cx - 27.5, g - 10.5}, 1.0),
                           capsule({cx + 24.5, g - 8}, {cx + 27.5, g - 10.5}, 1.0)));
  fillOutlined(c, deck, Deck);
  fillOver(c, intersect(deck, box(cx - 30, g - 8, cx + 30, g - 7)), DeckShade);
  for (int s : {-1, 1}) fill(c, box(cx + s * 16 - 2, g - 6, cx + s * 16 + 2, g - 5), Truck);
}

void drawRer(Canvas& c, const RerPose& p, int cxi, int ground) {
  const double cx = cxi;
  const double g = ground, b = p.bob;
  double hx = cx, hy;
  if (p.stance == RerStance::Seated) {
    // Squatting, front view: long shins standing up from the sneakers,
    // knees at chest height, forearms resting on them.
    for (int s : {-1, 1}) shoe(c, cx + s * 8 + (s < 0 ? p.foot1.dx : p.foot2.dx), g, false);
    fillShaded(c, box(cx - 9, g - 36 + b, cx + 9, g - 14, 4), Hoodie, HoodieShade, -2, 0);
    for (int s : {-1, 1}) {
      Shape leg = unite(ellipse(cx + s * 7.5, g - 22, 4.5, 4),
                        capsule({cx + s * 7.5, g - 21}, {cx + s * 8, g - 5}, 3.2));
      fillShaded(c, leg, Pants, PantsShade, -1.5, -1.5);
    }
    fillOutlined(c, ellipse(cx, g - 36 + b, 10, 3.5), HoodieShade);  // hood
    hy = g - 47 + b;
    drawHead(c, hx, hy, View::Front, p);
    // Arms folded over the knees, hands meeting in the middle.
    arm(c, {cx - 8, g - 33 + b}, {cx - 2.5 + p.hand1.x, g - 25 + p.hand1.y}, false);
    arm(c, {cx + 8, g - 33 + b}, {cx + 2.5 + p.hand2.x, g - 25 + p.hand2.y}, false);
  } else {
    // Side view facing left.  On the board the feet stand apart.
    const bool board = p.stance == RerStance::Board;
    const double f1 = board ? cx + 8 : cx + 1, f2 = board ? cx - 8 : cx - 1;
    const Pt hip{cx + 0.5, g - 25 + b};
    const Pt shoulder{cx + 0.5, g - 44 + b};
    const Pt rest{cx + 1.5, g - 28 + b};
    auto legTo = [&](double fx, const Foot& f, bool far) {
      const double sole = g - f.lift;
      const Pt ankle{fx + f.dx, sole - 5};
      // Knees bend forward a little, more so on the board.
      const Pt knee{(hip.x + ankle.x) / 2 - (board ? 2.0 : 0.8), (hip.y + ankle.y) / 2};
      fillOutlined(c, unite(capsule(hip, knee, 2.8), capsule(knee, ankle, 2.8)), far ? PantsShade : Pants);
      shoe(c, fx + f.dx, sole, true);
    };
    legTo(f1, p.foot1, true);
    arm(c, shoulder, {rest.x + p.hand1.x, rest.y + p.hand1.y}, true);
    legTo(f2, p.foot2, false);
    fillOutlined(c, box(cx - 5.5, g - 30 + b, cx + 6.5, g - 23 + b, 2), Pants);
    fillOutlined(c, ellipse(cx + 5, g - 46 + b, 4.5, 3.5), HoodieShade);  // hood
    fillShaded(c, box(cx - 6, g - 48 + b, cx + 7, g - 26 + b, 3.5), Hoodie, HoodieShade, -2, 0);
    fillOver(c, box(cx - 6, g - 30 + b, cx + 7, g - 28 + b), HoodieShade);  // waistband
    hx = cx - 1;
    hy = g - 58 + b;
    drawHead(c, hx, hy, View::Side, p);
    arm(c, shoulder, {rest.x + p.hand2.x, rest.y + p.hand2.y}, false);
  }
  if (p.marks & fx::Sweat) {
    sweat(c, hx + 14, hy - 4);
    sweat(c, hx + 16, hy + 4);
  }
}

}  // namespace artgen
