"""Figures for xpekko.exe under Wine: start-up time, CPU and memory, size.

Prints a table; judges nothing.  BENCH_SECONDS (default 60) sets how long
the CPU use is measured, after a 5 s settling time.
"""

import json
import subprocess
import os
import sys
import time
from pathlib import Path

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, str(Path(__file__).resolve().parent))
from wineenv import ROOT, Desktop, log, winpath  # noqa: E402

OUT = ROOT / "out/bench"
TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    """utime + stime of a process, in seconds."""
    stat = Path(f"/proc/{pid}/stat").read_text()
    fields = stat[stat.rindex(")") + 2:].split()  # after "pid (comm) "
    return (int(fields[11]) + int(fields[12])) / TICKS


def status_kb(pid, key):
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith(key + ":"):
            return int(line.split()[1])
    return 0


def wineserver_pid(prefix):
    """The wineserver serving our prefix: it runs in the directory named
    after the prefix's device and inode (Debian calls it wineserver32/64)."""
    st = os.stat(prefix)
    server_dir = f"server-{st.st_dev:x}-{st.st_ino:x}"
    for d in Path("/proc").iterdir():
        if not d.name.isdigit():
            continue
        try:
            if (d / "comm").read_text().startswith("wineserver") and os.readlink(d / "cwd").endswith(server_dir):
                return int(d.name)
        except OSError:
            continue
    return None


def main():
    seconds = float(os.environ.get("BENCH_SECONDS", "60"))
    OUT.mkdir(parents=True, exist_ok=True)
    with Desktop(OUT) as d:
        watch = d.probe_stream("snap", "pekkoForm", "30000", winpath(OUT / "first-frame.ppm"))
        watch.stdout.readline()  # ready
        app = d.start_app()
        watch.stdout.readline()  # visible
        to_visible = time.monotonic() - app.started
        snap = json.loads(watch.stdout.readline() or b"{}")
        watch.wait(30)
        server = wineserver_pid(d.prefix)
        watched = {"xpekko.exe": app.pid, "wineserver": server, "explorer (desktop)": d.explorer.pid,
                   "Xvfb": d.xvfb.pid}
        time.sleep(5)
        before = {k: cpu_seconds(p) for k, p in watched.items() if p}
        log(f"measuring CPU for {seconds:.0f} s")
        t0 = time.monotonic()
        time.sleep(seconds)
        elapsed = time.monotonic() - t0
        after = {k: cpu_seconds(p) for k, p in watched.items() if p}
        rss, hwm = status_kb(app.pid, "VmRSS"), status_kb(app.pid, "VmHWM")
        d.stop_app(app)
        # The frame benchmark runs the same drawing code on this desktop.
        bench_exe = d.exe.parent / "frame_bench.exe"
        frame_lines = []
        if bench_exe.exists():
            log("timing frames with frame_bench.exe")
            r = subprocess.run(["wine", str(bench_exe)], env=d.env(), stdin=subprocess.DEVNULL,
                               capture_output=True, timeout=120)
            frame_lines = r.stdout.decode("utf-8", "replace").strip().splitlines()

    rows = [("start to visible window", f"{to_visible * 1000:.0f} ms"),
            ("visible to settled first frame", f"{snap.get('settled_ms', '?')} ms")]
    for k in before:
        rows.append((f"CPU of {k}", f"{(after[k] - before[k]) * 60 / elapsed:.2f} s per minute"))
    rows += [("resident memory of xpekko.exe (VmRSS)", f"{rss / 1024:.1f} MiB"),
             ("peak resident memory (VmHWM)", f"{hwm / 1024:.1f} MiB"),
             ("size of xpekko.exe", f"{d.exe.stat().st_size / 1024:.0f} KiB")]
    width = max(len(r[0]) for r in rows)
    print(f"\nxpekko.exe under Wine, {elapsed:.0f} s measured")
    for name, value in rows:
        print(f"  {name:<{width}}  {value}")
    if frame_lines:
        print("\nframe_bench.exe under Wine (wall per call, and CPU)")
        for line in frame_lines:
            print(f"  {line}")


if __name__ == "__main__":
    main()
