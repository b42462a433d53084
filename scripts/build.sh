#!/usr/bin/env bash
# Builds what this host can test: build/host (Debug, sanitizers, unit
# tests) and the Windows builds, Release, cross-compiled.
#   - build/win32: xpekko.exe, the program, always; where this host can run
#     32-bit programs also the e2e probe and the unit tests run under Wine.
#   - build/win64: the same program for 64-bit Windows, always (the release
#     archive holds both), with its probe and tests only where Wine must run
#     64-bit programs instead.
# scripts/wine-build.sh says which (XPEKKO_WINE_BUILD overrides it).
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build/host -DCMAKE_BUILD_TYPE=Debug
cmake --build build/host -j2

wine_build=$(bash scripts/wine-build.sh)
cross() {
  cmake -S . -B "build/$1" -DCMAKE_TOOLCHAIN_FILE="cmake/$2.cmake" -DCMAKE_BUILD_TYPE=Release
}
cross win32 i686-w64-mingw32
cross win64 x86_64-w64-mingw32
if [ "$wine_build" = win32 ]; then
  cmake --build build/win32 -j2
  cmake --build build/win64 -j2 --target xpekko
else
  cmake --build build/win32 -j2 --target xpekko
  cmake --build build/win64 -j2
fi

ls -l build/win32/xpekko.exe build/win64/xpekko.exe
b=build/$wine_build
ls -l "$b/xpekko.exe" "$b/tests/e2e/probe/probe.exe" "$b/tests/xpekko_tests.exe" "$b/tests/win32/xpekko_win32_tests.exe"
echo "build: the Wine stages will run build/$wine_build"
