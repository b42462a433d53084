#!/usr/bin/env bash
# The Windows build's unit tests under Wine (run_wine_tests.py); arguments go
# to both test programs, e.g. --gtest_filter=ClockBox*. Debian's python3 has Pillow.
set -euo pipefail
cd "$(dirname "$0")/../.."
exec /usr/bin/python3 tests/win32/run_wine_tests.py "$@"
