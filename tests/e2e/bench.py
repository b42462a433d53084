"""Figures for xpekko.exe under Wine: start-up time, CPU and memory, size,
and what a call back (rer bringing ペッコ home) costs.

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


def choose_first_item(d):
    """Opens the tray menu (a posted left-button release, as the icon sends
    it) and chooses its first item with the keyboard."""
    d.xdotool("mousemove", "300", "200")
    d.probe("post", d.windows("menuForm")[0]["hwnd"], 512, 1, 514)
    d.probe("wait", "#32768", "3000", "visible")
    d.xdotool("key", "Down", "Return")
    d.xdotool("mousemove", "1010", "10")


def call_back_figures(d, app, server):
    """Two call backs: one watched for the length of rer's ride steps, one
    left alone for the CPU it takes (the program and wineserver)."""
    choose_first_item(d)  # sent out
    time.sleep(1)
    watch = d.probe_stream("watch", "rionForm", 5, 6000, winpath(OUT))
    watch.stdout.readline()
    choose_first_item(d)  # called back
    places = {}  # rer's left -> when first seen there
    for line in watch.stdout:
        r = json.loads(line).get("wins", [{}])[0]
        if r.get("found") and r["visible"] and r["w"]:
            places.setdefault(r["x"], json.loads(line)["t"])
    times = sorted(places.values())
    step = (times[-1] - times[0]) / max(1, len(times) - 1)
    choose_first_item(d)
    time.sleep(1)
    before = cpu_seconds(app.pid) + cpu_seconds(server)
    t0 = time.monotonic()
    choose_first_item(d)
    while d.windows("rionForm")[0]["rect"]["x"] > -64:
        time.sleep(0.1)
    wall = time.monotonic() - t0
    cpu = cpu_seconds(app.pid) + cpu_seconds(server) - before
    return [("call back: rer's places, mean time per ride step", f"{len(times)}, {step:.1f} ms"),
            ("call back: wall time, CPU of xpekko.exe + wineserver", f"{wall:.1f} s, {cpu:.2f} s")]


def visit_figures(d):
    """A whole visit: the program started with the seed that brings rer at
    once and a rate of 0, timed from the start until rer has ridden off
    beyond the left edge again (the CPU of the program and wineserver)."""
    d.reg_put("0")
    app = d.start_app(env={"XPEKKO_RANDOM_SEED": "6995"})
    server = wineserver_pid(d.prefix)
    before = cpu_seconds(server) if server else 0
    t0 = time.monotonic()
    came = False
    while time.monotonic() - t0 < 150:
        r = d.windows("rionForm")
        x = r[0]["rect"]["x"] if r and r[0].get("visible") else None
        came = came or (x is not None and 0 <= x < 1024)
        if came and x is not None and x <= -64:
            break
        time.sleep(0.2)
    wall = time.monotonic() - t0
    cpu = cpu_seconds(app.pid) + (cpu_seconds(server) - before if server else 0)
    d.stop_app(app)
    d.reg_put(None)
    return [("a whole visit (start to rer gone): wall time, CPU of xpekko.exe + wineserver",
             f"{wall:.1f} s, {cpu:.2f} s" if came else "no visit seen")]


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
        call_back = call_back_figures(d, app, server)
        d.stop_app(app)
        call_back += visit_figures(d)
        # The frame benchmark runs the same drawing code on this desktop.
        bench_exe = d.exe.parent / "frame_bench.exe"
        frame_lines = []
        if bench_exe.exists():
            log("timing frames with frame_bench.exe")
            r = subprocess.run(d.wine(bench_exe), env=d.env(), stdin=subprocess.DEVNULL,
                               capture_output=True, timeout=120)
            frame_lines = r.stdout.decode("utf-8", "replace").strip().splitlines()

    rows = [("start to visible window", f"{to_visible * 1000:.0f} ms"),
            ("visible to settled first frame", f"{snap.get('settled_ms', '?')} ms")]
    for k in before:
        rows.append((f"CPU of {k}", f"{(after[k] - before[k]) * 60 / elapsed:.2f} s per minute"))
    rows += [("resident memory of xpekko.exe (VmRSS)", f"{rss / 1024:.1f} MiB"),
             ("peak resident memory (VmHWM)", f"{hwm / 1024:.1f} MiB"),
             ("size of xpekko.exe", f"{d.exe.stat().st_size / 1024:.0f} KiB")] + call_back
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
