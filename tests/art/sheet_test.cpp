// The committed sprite sheets as files: what the program's decoders and the
// system's expect of them.
#include <gtest/gtest.h>

#include "gif_reader.hpp"

namespace {

using namespace arttest;

// A single-frame GIF89a with one global colour table holding black and
// white, no transparency, of its cells across and image over mask down.
TEST(SheetFiles, AreSingleFrameGifsWithOneGlobalTable) {
  for (const SheetLayout& s : kSheets) {
    SCOPED_TRACE(s.file);
    const Gif& g = sheet(s.file);
    EXPECT_EQ(g.signature, "GIF89a");
    EXPECT_EQ(std::make_pair(g.w, g.h), std::make_pair(64 * s.cells, 2 * s.cellH));
    EXPECT_EQ(g.frames, 1);
    EXPECT_EQ(g.tableSize, s.tableSize);
    EXPECT_FALSE(g.localTable || g.transparency);
  }
}

}  // namespace
