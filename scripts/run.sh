#!/usr/bin/env bash
# Builds xpekko and runs it under Wine: the 32-bit program where this host
# can run 32-bit programs, else its 64-bit twin (scripts/wine-build.sh).  With a display ($DISPLAY) it runs on
# that desktop until ended from its tray menu (or Ctrl+C).  Without one it
# runs on a headless 1024x768 Wine desktop for RUN_SECONDS (default 25) and
# keeps a recording: PNG frames, five a second, and an animated GIF under
# out/run/; the random seed is fixed so that rer visits at once.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
bash scripts/build.sh

# Debian's python3, which has Pillow from python3-pil.
py=/usr/bin/python3
wine_build=$(bash scripts/wine-build.sh)
if [ "$wine_build" = win32 ]; then
  echo "run: build/win32/xpekko.exe, the 32-bit program"
elif [ "$(bash scripts/wine-build.sh --probe)" = win64 ]; then
  echo "run: build/win64/xpekko.exe, the 64-bit twin (this host cannot run 32-bit programs)"
else
  echo "run: build/win64/xpekko.exe, the 64-bit twin (asked for by XPEKKO_WINE_BUILD)"
fi
if [ -n "${DISPLAY:-}" ]; then
  exec "$py" tests/e2e/wineenv.py show
else
  exec "$py" tests/e2e/wineenv.py record --seconds "${RUN_SECONDS:-25}" --out out/run
fi
