#!/usr/bin/env bash
# Builds both trees: build/host (Debug, sanitizers, unit tests) and
# build/win32 (Release, cross-compiled xpekko.exe, the e2e probe, and the
# unit tests that run under Wine).
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build/host -DCMAKE_BUILD_TYPE=Debug
cmake --build build/host -j2

cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake -DCMAKE_BUILD_TYPE=Release
cmake --build build/win32 -j2

ls -l build/win32/xpekko.exe build/win32/tests/e2e/probe/probe.exe \
  build/win32/tests/xpekko_tests.exe build/win32/tests/win32/xpekko_win32_tests.exe
