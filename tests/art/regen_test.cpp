// The committed pictures are exactly what the generator draws today.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::vector<char> bytes(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), {}};
}

TEST(Regenerate, CommittedFilesMatchTheGeneratorByteForByte) {
  const fs::path out = fs::temp_directory_path() / ("artgen-regen-" + std::to_string(::getpid()));
  fs::remove_all(out);
  const std::string cmd = std::string("\"") + ARTGEN_EXE + "\" \"" + out.string() + "\"";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  for (const char* rel : {"resources/rPic1.gif", "resources/rPic2.gif", "resources/rPic3.gif",
                          "resources/xpekko.ico", "docs/contact-sheet.png"}) {
    const std::vector<char> fresh = bytes(out / rel), committed = bytes(fs::path(ART_SOURCE_DIR) / rel);
    ASSERT_FALSE(fresh.empty()) << rel << " was not generated";
    EXPECT_TRUE(fresh == committed) << rel
                                    << " differs from the generator's output; run the regen-art target";
  }
  fs::remove_all(out);
}

TEST(Regenerate, RejectsAMissingOutputDirectoryArgument) {
  const std::string cmd = std::string("\"") + ARTGEN_EXE + "\" >/dev/null 2>&1";
  EXPECT_NE(std::system(cmd.c_str()), 0);
}

}  // namespace
