#!/usr/bin/env bash
# Runs the unit tests of the Windows build under Wine
# (tests/win32/run_wine_tests.py); needs scripts/build.sh first.  Arguments
# go to both test programs (e.g. --gtest_filter=ScreenCapture*).
set -euo pipefail
cd "$(dirname "$0")/../.."
# Debian's own python3, the one that has what wineenv.py imports.
exec /usr/bin/python3 tests/win32/run_wine_tests.py "$@"
