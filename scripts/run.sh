#!/usr/bin/env bash
# Builds xpekko and runs it under Wine: the 32-bit program where this host
# can run 32-bit programs, else its 64-bit twin (scripts/wine-build.sh).
# With a display ($DISPLAY) it runs on that desktop until ended from its
# tray menu (or Ctrl+C).  Without one it
# runs on a headless 1024x768 Wine desktop for RUN_SECONDS (default 25) and
# keeps a recording: PNG frames, five a second, and an animated GIF under
# out/run/; the random seed is fixed so that rer visits at once.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
bash scripts/build.sh

wine_build=$(bash scripts/wine-build.sh)
if [ "$wine_build" = win32 ]; then
  echo "run: build/win32/xpekko.exe, the 32-bit program"
elif [ "$(bash scripts/wine-build.sh --probe)" = win64 ]; then
  echo "run: build/win64/xpekko.exe, the 64-bit twin (this host cannot run 32-bit programs)"
else
  echo "run: build/win64/xpekko.exe, the 64-bit twin (asked for by XPEKKO_WINE_BUILD)"
fi
# Debian's python3, which has Pillow from python3-pil; the Wine desktop is
# the one the end-to-end test uses (tests/e2e/wineenv.py).
exec /usr/bin/python3 - "${RUN_SECONDS:-25}" <<'EOF'
import os, subprocess, sys, time
sys.dont_write_bytecode = True
sys.path.insert(0, "tests/e2e")
from wineenv import EXE, ROOT, SCREEN_H, SCREEN_W, SERVER, Desktop, log

out = ROOT / "out/run"
out.mkdir(parents=True, exist_ok=True)
if os.environ.get("DISPLAY"):
    d = Desktop(out, prefix=out / "prefix-display", reuse=True)
    d.logs.mkdir(exist_ok=True)
    if not (d.prefix / "system.reg").exists():
        d.make_prefix(shell=False)  # on the user's own desktop
    log("xpekko.exe runs; end it from its tray menu or with Ctrl+C")
    try:
        subprocess.run(d.wine(EXE), cwd=EXE.parent, env=dict(d.env(False), DISPLAY=os.environ["DISPLAY"]))
    except KeyboardInterrupt:
        pass
    finally:
        subprocess.run([SERVER, "-k"], env=d.env(False))
    sys.exit()
for old in out.glob("frame-*.png"):
    old.unlink()
frames = []
with Desktop(out / "desktop", prefix=out / "prefix") as d:
    d.start_app({"XPEKKO_RANDOM_SEED": "6995"})
    t0 = time.monotonic()
    while time.monotonic() < t0 + float(sys.argv[1]):
        frames.append(d.screenshot())
        frames[-1].save(out / f"frame-{len(frames) - 1:03d}.png")
        frames[-1] = frames[-1].resize((SCREEN_W // 2, SCREEN_H // 2))
        time.sleep(max(0.0, t0 + len(frames) * 0.2 - time.monotonic()))
frames[0].save(out / "xpekko.gif", save_all=True, append_images=frames[1:], duration=200, loop=0)
log(f"recording: {len(frames)} frames in {out}/frame-*.png, animation {out}/xpekko.gif")
EOF
