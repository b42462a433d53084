"""Runs build/win32/frame_bench.exe on a headless Wine desktop of its own and
lets it print, besides its own figures, the CPU that wineserver, the desktop
process and the X server spend per frame and per companion step.

    /usr/bin/python3 tests/bench/frame_bench.py [FRAMES]

The prefix is kept in $FRAME_BENCH_OUT (default /tmp/xpekko-frame-bench) so
that a second run starts quickly. Figures to read, not a test.
"""
import os
import subprocess
import sys
from pathlib import Path

sys.dont_write_bytecode = True
ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tests/e2e"))
from wineenv import Desktop  # noqa: E402

OUT = Path(os.environ.get("FRAME_BENCH_OUT", "/tmp/xpekko-frame-bench"))


def wineserver_pid(prefix):
    st = os.stat(prefix)
    server_dir = f"server-{st.st_dev:x}-{st.st_ino:x}"
    for d in Path("/proc").iterdir():
        try:
            if d.name.isdigit() and (d / "comm").read_text().startswith("wineserver") \
                    and os.readlink(d / "cwd").endswith(server_dir):
                return int(d.name)
        except OSError:
            continue
    return None


def desktop_pid(prefix):
    """The Wine desktop's explorer.exe of our prefix."""
    for d in Path("/proc").iterdir():
        try:
            if d.name.isdigit() and (d / "comm").read_text().strip() == "explorer.exe" \
                    and f"WINEPREFIX={prefix}".encode() in (d / "environ").read_bytes().split(b"\0"):
                return int(d.name)
        except OSError:
            continue
    return None


def main():
    frames = sys.argv[1] if len(sys.argv) > 1 else "100"
    os.environ.setdefault("E2E_KEEP_PREFIX", "1")
    with Desktop(OUT) as d:
        pids = {"wineserver": wineserver_pid(d.prefix), "desktop": desktop_pid(d.prefix), "Xvfb": d.xvfb.pid}
        env = d.env()
        env["XPEKKO_BENCH_PIDS"] = ",".join(f"{k}:{v}" for k, v in pids.items() if v)
        r = subprocess.run(["wine", str(ROOT / "build/win32/frame_bench.exe"), frames], env=env,
                           stdin=subprocess.DEVNULL, capture_output=True, timeout=300)
        print(r.stdout.decode("utf-8", "replace").rstrip())


if __name__ == "__main__":
    main()
