#include <stdexcept>
#include <string>

#include "art.hpp"
#include "poses.hpp"

namespace artgen {
namespace {

// Every figure must keep off the cell's outermost rows and columns.
void checkMargin(const Canvas& c, const std::string& what) {
  for (int y = 0; y < c.h; ++y)
    for (int x = 0; x < c.w; ++x)
      if (c.figure(x, y) && (x == 0 || y == 0 || x == c.w - 1 || y == c.h - 1))
        throw std::runtime_error(what + ": figure touches the cell border at " + std::to_string(x) + "," +
                                 std::to_string(y));
}

Canvas pekkoCell(const PekkoPose& p) {
  Canvas c(kCellW, 64);
  drawPekko(c, p, 32, kPekkoGround);
  outlineFigure(c);
  drawPekkoAfterOutline(c, p, 32, kPekkoGround);
  return p.mirror ? mirrored(c) : c;
}

Canvas companionCell(const CompanionCell& k) {
  Canvas c(kCellW, 92);
  if (k.board) drawBoard(c, 32, kRerGround);
  const int ground = k.board ? kDeckTop : k.rer.stance == RerStance::Seated ? kRerSeatedGround : kRerGround;
  drawRer(c, k.rer, k.rerX, ground);
  if (k.withPekko) drawPekko(c, kPassenger, kPassengerX, ground);
  outlineFigure(c);
  return c;
}

Sheet finish(Sheet s) {
  for (std::size_t i = 0; i < s.cells.size(); ++i)
    checkMargin(s.cells[i], s.file + " cell " + std::to_string(i));
  return s;
}

}  // namespace

Sheet walkSheet() {
  Sheet s{"rPic1.gif", 64, 16, {}};
  for (const PekkoPose& p : kWalk) s.cells.push_back(pekkoCell(p));
  for (int i = 6; i <= 8; ++i) s.cells.push_back(mirrored(s.cells[std::size_t(i)]));
  return finish(std::move(s));
}

Sheet actionSheet() {
  Sheet s{"rPic2.gif", 64, 32, {}};
  for (const PekkoPose& p : kActions) s.cells.push_back(pekkoCell(p));
  return finish(std::move(s));
}

Sheet companionSheet() {
  Sheet s{"rPic3.gif", 92, 64, {}};
  for (const CompanionCell& k : kCompanion) s.cells.push_back(companionCell(k));
  return finish(std::move(s));
}

IndexedImage layoutSheet(const Sheet& s) {
  IndexedImage img;
  img.w = kCellW * int(s.cells.size());
  img.h = 2 * s.cellH;
  // Colour table: white, black, then every other colour the sheet uses, in
  // palette order.
  std::array<int, ColCount> slot{};
  slot.fill(-1);
  std::array<bool, ColCount> used{};
  for (const Canvas& c : s.cells)
    for (std::uint8_t v : c.px) used[v] = true;
  auto addColour = [&](Rgb rgb) {
    for (std::size_t i = 0; i < img.palette.size(); ++i)
      if (img.palette[i] == rgb) return int(i);
    img.palette.push_back(rgb);
    return int(img.palette.size() - 1);
  };
  slot[Bg] = addColour(kRgb[Bg]);
  slot[Black] = addColour(kRgb[Black]);
  for (int c = 0; c < ColCount; ++c)
    if (used[std::size_t(c)] && slot[std::size_t(c)] < 0)
      slot[std::size_t(c)] = addColour(kRgb[std::size_t(c)]);
  if (int(img.palette.size()) > s.tableSize)
    throw std::runtime_error(s.file + ": " + std::to_string(img.palette.size()) +
                             " colours do not fit a table of " + std::to_string(s.tableSize));
  img.palette.resize(std::size_t(s.tableSize), kRgb[Black]);

  img.idx.assign(std::size_t(img.w) * img.h, std::uint8_t(slot[Bg]));
  for (std::size_t n = 0; n < s.cells.size(); ++n) {
    const Canvas& c = s.cells[n];
    for (int y = 0; y < s.cellH; ++y)
      for (int x = 0; x < kCellW; ++x) {
        const std::size_t col = n * kCellW + std::size_t(x);
        img.idx[std::size_t(y) * img.w + col] = std::uint8_t(slot[c.at(x, y)]);
        img.idx[std::size_t(y + s.cellH) * img.w + col] = std::uint8_t(slot[c.figure(x, y) ? Black : Bg]);
      }
  }
  return img;
}

Rgb composite(Rgb i, Rgb m, Rgb b) {
  return {std::uint8_t(i.r ^ (m.r & ~b.r)), std::uint8_t(i.g ^ (m.g & ~b.g)),
          std::uint8_t(i.b ^ (m.b & ~b.b))};
}

namespace {

// 3 × 5 digits for the cell numbers.
constexpr const char* kDigits[10][5] = {
    {"###", "#.#", "#.#", "#.#", "###"}, {".#.", "##.", ".#.", ".#.", "###"},
    {"###", "..#", "###", "#..", "###"}, {"###", "..#", "###", "..#", "###"},
    {"#.#", "#.#", "###", "..#", "..#"}, {"###", "#..", "###", "..#", "###"},
    {"###", "#..", "###", "#.#", "###"}, {"###", "..#", "..#", "..#", "..#"},
    {"###", "#.#", "###", "#.#", "###"}, {"###", "#.#", "###", "..#", "###"}};

void drawNumber(RgbImage& img, int x, int y, int n, int scale, Rgb col) {
  const std::string s = std::to_string(n);
  for (char ch : s) {
    const auto& g = kDigits[ch - '0'];
    for (int r = 0; r < 5; ++r)
      for (int q = 0; q < 3; ++q)
        if (g[r][q] == '#')
          for (int dy = 0; dy < scale; ++dy)
            for (int dx = 0; dx < scale; ++dx) img.put(x + q * scale + dx, y + r * scale + dy, col);
    x += 4 * scale;
  }
}

}  // namespace

RgbImage contactSheet(const std::vector<Sheet>& sheets) {
  constexpr int kScale = 3, kGap = 8, kLabel = 16;
  const Rgb desktops[3] = {{255, 255, 255}, {128, 128, 128}, {0, 64, 96}};
  std::size_t maxCells = 0;
  int height = kGap;
  for (const Sheet& s : sheets) {
    maxCells = std::max(maxCells, s.cells.size());
    height += kLabel + 3 * (s.cellH * kScale + kGap) + kGap;
  }
  RgbImage img;
  img.w = kGap + int(maxCells) * (kCellW * kScale + kGap);
  img.h = height;
  img.rgb.assign(std::size_t(img.w) * img.h * 3, 0xE8);

  int y0 = kGap;
  for (const Sheet& s : sheets) {
    const IndexedImage sheet = layoutSheet(s);
    for (std::size_t n = 0; n < s.cells.size(); ++n)
      drawNumber(img, kGap + int(n) * (kCellW * kScale + kGap), y0 + 2, int(n), 2, {40, 40, 40});
    y0 += kLabel;
    for (const Rgb& desk : desktops) {
      for (std::size_t n = 0; n < s.cells.size(); ++n) {
        const int x0 = kGap + int(n) * (kCellW * kScale + kGap);
        for (int y = 0; y < s.cellH; ++y)
          for (int x = 0; x < kCellW; ++x) {
            const std::size_t sx = n * kCellW + std::size_t(x);
            const Rgb i = sheet.palette[sheet.idx[std::size_t(y) * sheet.w + sx]];
            const Rgb m = sheet.palette[sheet.idx[std::size_t(y + s.cellH) * sheet.w + sx]];
            const Rgb out = composite(i, m, desk);
            for (int dy = 0; dy < kScale; ++dy)
              for (int dx = 0; dx < kScale; ++dx) img.put(x0 + x * kScale + dx, y0 + y * kScale + dy, out);
          }
      }
      y0 += s.cellH * kScale + kGap;
    }
    y0 += kGap;
  }
  return img;
}

Canvas iconLarge() {
  Canvas c(32, 32);
  drawPekkoFace(c, 16, 18, 13, 12);
  return c;
}

Canvas iconSmall() {
  // Drawn pixel by pixel: at this size every pixel is a decision.
  Canvas c(16, 16);
  stamp(c, 0, 0,
        {
            ".........oo.....",
            ".....oooooho....",
            "...oohhhhhhhoo..",
            "..ohhllhhhhhhho.",
            ".ohhlhhhhhhhhhho",
            ".ohhhhhhhhhhhhho",
            "ohhhhhhhhhhhhhho",
            "ohhhhhhhhhhhhhho",
            "ohhhsshhhhsshhho",
            "ohssssssssssssho",
            "ohsssossssosssho",
            "ohsssossssosssho",
            "osccssossossccso",
            ".osssssoossssso.",
            "..osssssssssso..",
            "....oooooooo....",
        },
        {{'o', Line}, {'h', Hair}, {'l', HairLight}, {'s', Skin}, {'c', Cheek}, {'w', White}});
  return c;
}

}  // namespace artgen
