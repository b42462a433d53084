"""Long runs of xpekko.exe on a headless Wine desktop (tests/e2e/wineenv.py).

    /usr/bin/python3 bench/wine.py soak [MINUTES]   # 60 by default
    /usr/bin/python3 bench/wine.py frames [N]       # frame_bench.exe: what a frame costs, 96 and 192 dpi

soak: random real input to both characters and every tray menu item, and every
minute, nothing of the program open, a sample: memory, CPU, GDI objects,
windows and kernel handles (counts.exe), open fds; the first after one of each
action. A count up in three quarters of the intervals and, at the end, by more
than 8 or a tenth (the system's caches still fill on later first uses: about
10-15 GDI objects in 20 minutes) grew: exit code 1. Table: out/soak/samples.txt.
"""

import os
import random
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
os.environ.setdefault("E2E_OUT", str(ROOT / "out/soak"))
sys.dont_write_bytecode = True
sys.path.insert(0, str(ROOT / "tests/e2e"))
import run_e2e as e2e  # noqa: E402
from wineenv import BUILD, SCREEN_W, Desktop, log  # noqa: E402

COUNTS = ("gdi", "windows", "kernel", "fds")
TEXTS = ["25", "0", "100", "abc", "1e9", "-3", " 50.5 ", "", "101", "99.5", "x" * 40]
MENU = {"send/call": 0, "date/time": 2, "volume": 3, "dialog": e2e.RATE_ITEM, "version": 6, "menu closed": None}
ACTIONS = ["click", "hover", "drag", "click rer", "hover rer", *MENU]


def tidy(run, keep):
    """Closes what the last action left: the menu, the program's boxes (OK),
    the dialog (a click in its box, Esc) and other programs' windows."""
    d = run.d
    if run.mine("#32768"):
        d.click(150, 100)
    for box in [b for b in d.find("#32770", kids=True) if b["visible"] and b["pid"] == run.pid]:
        ok = next(k["rect"] for k in box["kids"] if k["class"] == "Button")
        d.click(ok["x"] + ok["w"] // 2, ok["y"] + ok["h"] // 2)
    for form in d.find("menuForm", kids=True):
        edit = next((k["rect"] for k in form["kids"] if k["class"] == "Edit" and form["visible"]), None)
        if edit:
            d.click(edit["x"] + 4, edit["y"] + 4)
            d.xdotool("key", "Escape")
    for w in d.find("*"):
        if w["visible"] and w["pid"] not in keep:
            subprocess.run(d.wine(BUILD / "tests/e2e/probe/counts.exe", "close", w["hwnd"]), env=d.env())
    d.park()


def act(run, rng, name):
    d = run.d
    near = [w["rect"] for w in run.mine("rionForm" if name.endswith("rer") else "pekkoForm")
            if 0 <= w["rect"]["x"] <= SCREEN_W - e2e.CELL and w["rect"]["w"]]
    if name in MENU and run.icon():
        e2e.open_menu(run) if MENU[name] is None else e2e.choose(run, MENU[name])
        if name == "dialog":
            time.sleep(0.3)
            d.xdotool("type", "--", rng.choice(TEXTS))
            d.xdotool("key", rng.choice(["Return", "Escape"]))
    elif name not in MENU and near:
        x, y = near[0]["x"] + 32, near[0]["y"] + near[0]["h"] // 2
        if name == "drag":
            dx, dy = rng.randint(-120, 120), rng.randint(-90, 90)
            d.xdotool("mousemove", x, y, "mousedown", 1)
            for k in range(1, 6):
                d.xdotool("mousemove", x + dx * k // 5, y + dy * k // 5)
            d.xdotool("mouseup", 1)
        else:
            d.xdotool("mousemove", x, y, *(["click", 1] if name.startswith("click") else []))
    time.sleep(rng.uniform(0.3, 2.0))


def step(run, rng, name, keep):  # the soak goes on past an action that did not work
    try:
        act(run, rng, name)
    except e2e.Failure as e:
        log(f"{name}: {e}")
    tidy(run, keep)
    if run.app.poll() is not None:
        raise SystemExit(f"xpekko.exe ended during {name}")


def sample(run, t0):
    time.sleep(1.0)
    pid, d = run.app.pid, run.d
    counts = d.probe(run.pid, check=False, exe=BUILD / "tests/e2e/probe/counts.exe")[1]
    stat = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    row = dict(counts, min=(time.monotonic() - t0) / 60, fds=len(os.listdir(f"/proc/{pid}/fd")),
               cpu_s=(int(stat[11]) + int(stat[12])) / os.sysconf("SC_CLK_TCK"),
               rss_mb=int(Path(f"/proc/{pid}/statm").read_text().split()[1]) * os.sysconf("SC_PAGE_SIZE") / 2**20)
    log(" ".join(f"{k} {v:.1f}" if isinstance(v, float) else f"{k} {v}" for k, v in row.items()))
    return row


def soak(minutes):
    seed = int(os.environ.get("XPEKKO_SOAK_SEED", time.time()))
    log(f"soak: {minutes:g} minutes; XPEKKO_SOAK_SEED={seed} repeats its choices")
    rng = random.Random(seed)
    with Desktop(e2e.OUT) as d:
        d.rate("10")
        run = e2e.Run(d, 96, None, watch=False)
        keep = {w["pid"] for w in d.find("*")}
        for name in ACTIONS:  # one of each first: what is made once and kept is in the first sample
            step(run, rng, name, keep)
        t0 = time.monotonic()
        rows = [sample(run, t0)]
        for m in range(1, int(minutes) + 1):
            while time.monotonic() < t0 + 60 * m - 3:
                step(run, rng, rng.choice(ACTIONS), keep)
            rows.append(sample(run, t0))
        table = [f"{'min':>5} {'rss_mb':>7} {'cpu%':>5} " + " ".join(f"{k:>7}" for k in COUNTS)] + [
            f"{r['min']:5.1f} {r['rss_mb']:7.1f} "
            + (f"{100 * (r['cpu_s'] - p['cpu_s']) / 60 / (r['min'] - p['min']):5.1f} " if p else "    - ")
            + " ".join(f"{r[k]:7d}" for k in COUNTS) for p, r in zip([None] + rows, rows)]
        grew = [(k, rows[0][k], rows[-1][k]) for k in COUNTS if len(rows) >= 5 and rows[-1][k] > rows[0][k] + max(
            8, rows[0][k] // 10) and sum(b[k] > a[k] for a, b in zip(rows, rows[1:])) >= 0.75 * (len(rows) - 1)]
        (e2e.OUT / "samples.txt").write_text("\n".join(table + [f"grew: {grew}"]) + "\n")
        print("\n".join(table), flush=True)
        rate = d.rate()[1]
        e2e.choose(run, e2e.EXIT_ITEM)
        e2e.ended(run, rate)
    log(f"soak: counts that grew steadily (name, first, last): {grew or 'none'}; probe reruns: {Desktop.retries}")
    return 1 if grew else 0


def frames(n):  # at 96 dpi, then at 192, where each pixel of the program is 2 x 2 of the screen's
    with Desktop(ROOT / "out/bench") as d:
        return max(print(f"at {dpi} dpi:", flush=True) or d.set_dpi(dpi) or subprocess.run(
            d.wine(BUILD / "frame_bench.exe", n), env=d.env(), timeout=600).returncode for dpi in (96, 192))


if __name__ == "__main__":
    what, arg = (sys.argv[1:] + ["", ""])[:2]
    subprocess.run(["cmake", "--build", str(BUILD), "--target", "counts", "frame_bench"], check=True)
    sys.exit(soak(float(arg or 60)) if what == "soak" else frames(arg or "100") if what == "frames" else __doc__)
