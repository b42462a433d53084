// artgen OUTDIR: draws all of the program's pictures and writes
//   OUTDIR/resources/rPic1.gif, rPic2.gif, rPic3.gif, xpekko.ico
//   OUTDIR/docs/contact-sheet.png
// The output depends on nothing but this source, byte for byte.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "art.hpp"

namespace {
// Prints one cell as text, one character per pixel ('.' = background,
// 'o' = outline, letters for the other colours in palette order), for
// looking at details while editing a pose.
void dump(const artgen::Sheet& s, int cell) {
  const artgen::Canvas& c = s.cells.at(std::size_t(cell));
  for (int y = 0; y < c.h; ++y) {
    std::string row;
    for (int x = 0; x < c.w; ++x) {
      const int v = c.at(x, y);
      row += v == artgen::Bg ? '.' : v == artgen::Line ? 'o' : v == artgen::White ? 'w' : char('a' + v - 4);
    }
    std::cout << (y < 10 ? " " : "") << y << ' ' << row << '\n';
  }
}
}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--dump") {
    const int sheet = std::stoi(argv[2]);
    dump(sheet == 1   ? artgen::walkSheet()
         : sheet == 2 ? artgen::actionSheet()
                      : artgen::companionSheet(),
         std::stoi(argv[3]));
    return 0;
  }
  if (argc != 2) {
    std::cerr << "usage: artgen OUTDIR | artgen --dump SHEET(1-3) CELL\n";
    return 2;
  }
  namespace fs = std::filesystem;
  try {
    const fs::path out = argv[1];
    fs::create_directories(out / "resources");
    fs::create_directories(out / "docs");
    const std::vector<artgen::Sheet> sheets = {artgen::walkSheet(), artgen::actionSheet(),
                                               artgen::companionSheet()};
    for (const artgen::Sheet& s : sheets)
      artgen::writeGif((out / "resources" / s.file).string(), artgen::layoutSheet(s));
    const std::vector<std::uint8_t> ico = artgen::encodeIco(artgen::iconSmall(), artgen::iconLarge());
    std::ofstream f(out / "resources" / "xpekko.ico", std::ios::binary);
    f.write(reinterpret_cast<const char*>(ico.data()), std::streamsize(ico.size()));
    if (!f) throw std::runtime_error("cannot write xpekko.ico");
    f.close();
    artgen::writePng((out / "docs" / "contact-sheet.png").string(), artgen::contactSheet(sheets));
  } catch (const std::exception& e) {
    std::cerr << "artgen: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
