#!/usr/bin/env bash
# Builds xpekko and runs it under Wine.  With a display ($DISPLAY) it runs on
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
if [ -n "${DISPLAY:-}" ]; then
  exec "$py" tests/e2e/wineenv.py show
else
  exec "$py" tests/e2e/wineenv.py record --seconds "${RUN_SECONDS:-25}" --out out/run
fi
