// The committed pictures are exactly what the generator draws today.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

std::string bytes(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), {}};
}

TEST(Regenerate, CommittedFilesMatchTheGeneratorByteForByte) {
  const fs::path out = fs::temp_directory_path() / ("artgen-regen-" + std::to_string(::getpid()));
  const std::string cmd = std::string("\"") + ARTGEN_EXE + "\" \"" + out.string() + "\"";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  for (const char* rel : {"resources/rPic1.gif", "resources/rPic2.gif", "resources/rPic3.gif",
                          "resources/xpekko.ico", "docs/contact-sheet.png"}) {
    const std::string fresh = bytes(out / rel);
    EXPECT_FALSE(fresh.empty()) << rel;
    EXPECT_TRUE(fresh == bytes(fs::path(ART_SOURCE_DIR) / rel))
        << rel << " differs: run the regen-art target";
  }
  fs::remove_all(out);
}

}  // namespace
