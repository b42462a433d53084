"""End-to-end tests of the running program: ペッコ's behaviour over a minute,
the drag, the click's clock box, and the notification-area icon with its
popup menu and commands.

Imported by run_e2e.py, which runs these after its start-up tests; they share
one start of the program ("live") and end it through its own menu, last.
Pictures for review go to out/e2e/live-*.png.
"""

import json
from collections import Counter
import re
import struct
import threading
import time
from datetime import datetime, timedelta
from pathlib import Path

from PIL import Image, ImageDraw

import run_e2e
import wineenv
from run_e2e import CELL, OUT, Failure, check, expect_eq, test
from wineenv import ROOT, SCREEN_H, SCREEN_W, log

SHEETS = {"rPic1": ROOT / "resources/rPic1.gif", "rPic2": ROOT / "resources/rPic2.gif"}
STEP = 160.0  # twips per walk move
TPP = 15.0    # twips per pixel at 96 dpi
PARK = ("1010", "10")  # pointer out of the way (no tooltip in the pictures)

# The walks by direction of movement in pixels: stride cells after moves 1-4
# and the standing cell the walk turns to first.
WALKS = {(0, 1): ("down", [1, 0, 2, 0], 0), (0, -1): ("up", [4, 3, 5, 3], 3),
         (-1, 0): ("left", [7, 6, 8, 6], 6), (1, 0): ("right", [10, 9, 11, 9], 9)}
IDLE_CELLS = {("rPic2", n) for n in range(6)}  # hand raised 0, 1; squatting 2-5
WALK_CELLS = {("rPic1", n) for n in range(12)}

CLOCK_RE = re.compile(r"^(\d{1,2})月(\d{1,2})日\((日|月|火|水|木|金|土)\) (\d{1,2})時(\d{1,2})分 だよ$")
WEEKDAYS = "日月火水木金土"  # Sunday first, as Wine's wDayOfWeek counts
MENU_CAPTIONS = ["遊びにやる", "-", "日付と時刻の調整", "音量の調節", "-", "駆け落ち率の設定", "ﾊﾞｰｼﾞｮﾝ情報", "-", "終了"]
ABOUT_ITEM, EXIT_ITEM = 6, 8
VERSION_TITLE, VERSION_TEXT = "ﾊﾞｰｼﾞｮﾝ情報", "ぴょこぴょこペッコ Ver.1.21"
WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONUP = 512, 513, 514, 517


def f32(v):
    """v rounded to single precision, the program's type for twips."""
    return struct.unpack("f", struct.pack("f", v))[0]


def to_pixels(twips, tpp=TPP):
    """Twips to whole pixels as the program converts them: the quotient in
    single precision (a double quotient rounded once more to single is the
    single-precision one), then rounded half to even."""
    return round(f32(f32(twips) / f32(tpp)))


def start_twips(tpp=TPP):
    """Left and Top at the start: the middle of the screen less 32 twips
    (7648, 5728 at 15 twips per pixel)."""
    return (f32(f32(SCREEN_W * tpp) / 2 - 32), f32(f32(SCREEN_H * tpp) / 2 - 32))


def on_lattice(px, origin_tw, tpp=TPP):
    """Whether pixel px is origin_tw + k * 160 twips for some whole k; returns k or None."""
    k = round((px * tpp - origin_tw) / STEP)
    return k if to_pixels(origin_tw + STEP * k, tpp) == px else None


# ------------------------------------------------------------------ cells

class Cells:
    """Every cell of both sheets composed over the desktop at a place, so that a
    captured frame can be named: ("rPic1", 9) etc., or None."""

    def __init__(self, desktop_rgb):
        self.desktop = desktop_rgb  # whole screen before the start, packed RGB
        self.sheets = {}
        for name, path in SHEETS.items():
            im = Image.open(path).convert("RGB")
            n = im.width // CELL
            self.sheets[name] = [(im.crop((CELL * k, 0, CELL * k + CELL, CELL)).tobytes(),
                                  im.crop((CELL * k, CELL, CELL * k + CELL, 2 * CELL)).tobytes()) for k in range(n)]
        self.cache = {}

    def background(self, x, y):
        if x < 0 or y < 0 or x + CELL > SCREEN_W or y + CELL > SCREEN_H:
            return None
        rows = [self.desktop[((y + r) * SCREEN_W + x) * 3:((y + r) * SCREEN_W + x + CELL) * 3] for r in range(CELL)]
        return b"".join(rows)

    def table(self, x, y):
        if (x, y) not in self.cache:
            bg = self.background(x, y)
            t = {}
            if bg is not None:
                for name, cells in self.sheets.items():
                    for k, (img, mask) in enumerate(cells):
                        if k >= 12 and name == "rPic1":
                            break
                        t.setdefault(bytes(i ^ (m & ~b & 0xFF) for i, m, b in zip(img, mask, bg)), (name, k))
            self.cache[(x, y)] = t
        return self.cache[(x, y)]

    def name(self, x, y, rgb):
        t = self.table(x, y)
        return t.get(rgb) if t else None


# ------------------------------------------------------------------ watching

class Watch:
    """probe watch in the background: samples of pekkoForm (place, size,
    topmost, a capture) collected by a reader thread while the test acts."""

    def __init__(self, d, cells, name, interval=100, duration=120000, title=None):
        self.cells = cells
        self.dir = OUT / f"{name}-samples"
        self.dir.mkdir(parents=True, exist_ok=True)
        for old in self.dir.glob("*.ppm"):
            old.unlink()
        args = ["watch", "pekkoForm", interval, duration, wineenv.winpath(self.dir)] + ([title] if title else [])
        self.proc = d.probe_stream(*args)
        check(b"ready" in self.proc.stdout.readline(), "probe watch did not start")
        self.t0 = time.monotonic()  # about the probe's t = 0
        self.samples = []
        self.lock = threading.Lock()
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        for line in self.proc.stdout:
            s = json.loads(line)
            if "i" not in s:
                continue
            s["cell"] = None
            if s.get("shot") and (s["w"], s["h"]) == (CELL, CELL):
                ppm = self.dir / f"{s['i']}.ppm"
                try:
                    s["cell"] = self.cells.name(s["x"], s["y"], wineenv.read_ppm(ppm)[2])
                    s["ok"] = True
                except (OSError, wineenv.HarnessError):
                    s["ok"] = False
            with self.lock:
                self.samples.append(s)

    def now(self):
        """Seconds on the samples' clock."""
        return time.monotonic() - self.t0

    def snapshot(self):
        with self.lock:
            return list(self.samples)

    def stop(self):
        self.proc.kill()
        self.proc.wait(10)
        self.reader.join(5)
        return self.snapshot()


def positions(samples):
    """The distinct places in order: [(x, y, t_first_seen_s, index_of_sample)]."""
    out = []
    for k, s in enumerate(samples):
        if s.get("found") and (not out or (out[-1][0], out[-1][1]) != (s["x"], s["y"])):
            out.append((s["x"], s["y"], s["t"] / 1000, k))
    return out


def settled_cell(samples, start, end):
    """The first cell shown at samples[start:end] that lasts more than one
    sample, or that differs from the cell shown before start: a single capture
    of the previous frame at the new place (taken between the move and the
    drawing) is not the frame of that place."""
    before = next((s["cell"] for s in reversed(samples[:start]) if s["cell"]), None)
    run = [s["cell"] for s in samples[start:end] if s["cell"]]
    for k, c in enumerate(run):
        if c != before or (k + 1 < len(run) and run[k + 1] == c):
            return c
    return None


def check_moves(samples, origin, what, tpp=TPP):
    """Every place on the lattice of 160-twip moves from origin (twips), moves
    one step along one axis at a time; returns the list of moves
    [(direction, sample index at the new place)]."""
    pos = positions(samples)
    for x, y, t, _ in pos:
        check(on_lattice(x, origin[0], tpp) is not None and on_lattice(y, origin[1], tpp) is not None,
              f"{what}: place ({x}, {y}) at {t:.1f} s is not the start ({origin[0]:g}, {origin[1]:g}) twips "
              f"plus whole 160-twip moves, rounded to pixels (places seen: {[(p[0], p[1]) for p in pos][:20]})")
    moves = []
    for (x0, y0, t0, _), (x1, y1, t1, k1) in zip(pos, pos[1:]):
        di = on_lattice(x1, origin[0], tpp) - on_lattice(x0, origin[0], tpp)
        dj = on_lattice(y1, origin[1], tpp) - on_lattice(y0, origin[1], tpp)
        # Samples come every 100 ms and moves at most every 500 ms, so no
        # move goes unseen unless the probe itself stalled.
        gap = t1 - samples[k1 - 1]["t"] / 1000 if k1 else 0
        check((abs(di) + abs(dj) == 1) or gap > 0.45,
              f"{what}: moved from ({x0}, {y0}) to ({x1}, {y1}) at {t1:.1f} s: {di} steps across, {dj} down at once")
        moves.append(((di, dj), k1))
    return moves


def walk_runs(moves):
    """Consecutive moves in one direction, grouped: [(direction, [sample indices])]."""
    runs = []
    for d, k in moves:
        if runs and runs[-1][0] == d:
            runs[-1][1].append(k)
        else:
            runs.append((d, [k]))
    return runs


# ------------------------------------------------------------------ pictures

def crop_around(png, x, y, size=192):
    im = Image.open(png).convert("RGB")
    left = min(max(0, x + CELL // 2 - size // 2), SCREEN_W - size)
    top = min(max(0, y + CELL // 2 - size // 2), SCREEN_H - size)
    return im.crop((left, top, left + size, top + size))


def contact_strip(images, labels, path):
    w, h = images[0].size
    strip = Image.new("RGB", (len(images) * (w + 4), h + 16), (255, 255, 255))
    draw = ImageDraw.Draw(strip)
    for k, (im, label) in enumerate(zip(images, labels)):
        strip.paste(im, (k * (w + 4), 16))
        draw.text((k * (w + 4) + 2, 2), label, fill=(0, 0, 0))
    strip.save(path)


def save_region(d, rect, name, scale=2, margin=8, keep=False):
    """An enlarged picture of rect and around it (keep: and of the whole screen)."""
    png = d.screenshot(OUT / f"{name}-screen.png")
    im = Image.open(png).convert("RGB")
    box = (max(0, rect["x"] - margin), max(0, rect["y"] - margin),
           min(SCREEN_W, rect["x"] + rect["w"] + margin), min(SCREEN_H, rect["y"] + rect["h"] + margin))
    im = im.crop(box)
    im.resize((im.width * scale, im.height * scale), Image.NEAREST).save(OUT / f"{name}.png")
    if not keep:
        Path(png).unlink()


# ------------------------------------------------------------------ state

class Live:
    """What these tests share: the desktop as it was before the start, the
    reference popup, the program's run (the start called `name`, whose
    pictures are named after it) and the drop place of the drag."""

    def __init__(self, s, name):
        s.stop_all()
        self.name = name
        self.desktop = s.d.capture(0, 0, SCREEN_W, SCREEN_H, f"{name}-desktop-before")[2]
        # The right end of the taskbar, where Wine puts the icons: two
        # taskbar heights wide (the taskbar and icons grow with the dpi).
        bar = s.d.windows("Shell_TrayWnd")[0]["rect"]
        self.tray_area = (SCREEN_W - 2 * bar["h"], bar["y"], 2 * bar["h"], bar["h"])
        self.tray_empty = s.d.capture(*self.tray_area, f"{name}-tray-empty")[2]
        self.cells = Cells(self.desktop)
        # Before the start, so that nothing of the program lies over it.
        self.ref = None
        s.live = self
        reference_menu(s)
        self.run = s.run(name)
        self.pid = self.run.snap["window"]["pid"]


def live(s, name="live"):
    if getattr(s, "live", None) is None or s.runs.get(name) is not s.live.run:
        s.live = Live(s, name)
    return s.live


def pekko(s):
    return s.d.windows("pekkoForm")[0]


def popups(s, pid):
    return [w for w in s.d.windows("#32768") if w["visible"] and w["pid"] == pid]


def wait_popup(s, pid, present, timeout=3.0):
    end = time.monotonic() + timeout
    while True:
        p = popups(s, pid)
        if bool(p) == present or time.monotonic() > end:
            return p
        time.sleep(0.05)


# ------------------------------------------------------------------ behaviour

@test(timeout=130)
def walks_in_whole_steps_and_every_frame_is_a_cell(s):
    lv = live(s)
    w = Watch(s.d, lv.cells, "live-behaviour", interval=100, duration=110000)
    shots, labels, last_shot, walking, idle = [], [], -10.0, 0, 0
    try:
        # A minute; longer (up to 100 s) until a whole walk has been seen,
        # since walks are drawn at random (40 % of the choices).
        while True:
            time.sleep(0.25)
            smp = w.snapshot()
            t = w.now()
            full_walk = any(len(k) >= 4 for _, k in walk_runs(check_moves(smp, start_twips(), "so far")))
            if (t >= 60 and full_walk) or t >= 100:
                break
            if not smp or len(shots) >= 12 or t - last_shot < 2.0:
                continue
            cur = smp[-1]
            c = cur.get("cell")
            moving = len(positions(smp[-6:])) > 1
            if (moving and walking < 6) or (c in IDLE_CELLS and idle < 6 and t - last_shot > 5):
                png = s.d.screenshot(OUT / "live-walk-screen.png")
                shots.append(crop_around(png, cur["x"], cur["y"]))
                labels.append(f"{t:.0f}s {c[0][-1] + ':' + str(c[1]) if c else '?'}")
                walking += moving
                idle += not moving
                last_shot = t
    finally:
        smp = w.stop()
    for k, im in enumerate(shots):
        im.save(OUT / f"live-walk-{k:02d}.png")
    if shots:
        contact_strip(shots, labels, OUT / "live-walk-strip.png")
    (OUT / "live-walk-screen.png").unlink(missing_ok=True)

    found = [x for x in smp if x.get("found")]
    check(len(found) >= 500, f"only {len(found)} samples in {smp[-1]['t'] / 1000 if smp else 0:.0f} s")
    check(all(x["visible"] for x in found), "pekkoForm was hidden at some sample")
    not_top = [x["t"] for x in found if not x["topmost"]]
    check(not not_top, f"pekkoForm left the topmost band at {not_top[:5]} ms")
    sizes = {(x["w"], x["h"]) for x in found}
    # Each frame drawing collapses the window for a moment to read the
    # desktop behind it; any other size is wrong.
    odd = {sz for sz in sizes if sz != (CELL, CELL) and 0 not in sz}
    check(not odd, f"pekkoForm had the sizes {sorted(odd)}")
    full = sum((x["w"], x["h"]) == (CELL, CELL) for x in found)
    check(full >= 0.9 * len(found), f"only {full} of {len(found)} samples saw the window 64 x 64")

    moves = check_moves(smp, start_twips(), "behaviour")
    shots_ok = [x for x in found if x.get("ok")]
    named = [x for x in shots_ok if x["cell"]]
    cells_seen = {x["cell"] for x in named}
    log(f"behaviour: {len(found)} samples over {found[-1]['t'] / 1000:.0f} s, {len(named)} of {len(shots_ok)} "
        f"captures are cells, {len(moves)} moves, places {len(positions(smp))}, cells {sorted(cells_seen)}")
    check(len(named) >= 0.9 * len(shots_ok),
          f"only {len(named)} of {len(shots_ok)} captures are a cell of rPic1 or rPic2 over the desktop "
          f"(unnamed ones: {[x['i'] for x in shots_ok if not x['cell']][:10]} in {OUT}/live-behaviour-samples)")
    stray = cells_seen - WALK_CELLS - IDLE_CELLS
    check(not stray, f"cells that no walk or idle action draws: {sorted(stray)}")

    # The frames of the walks: each move shows the next stride cell of its
    # direction, and the walk's first tick turns him on the spot.
    runs = walk_runs(moves)
    t_first = found[0]["t"] / 1000
    for n, (d, ks) in enumerate(runs):
        name, strides, turn = WALKS[d]
        first, last = n == 0, n == len(runs) - 1
        # Within a walk every tick moves him; so a move seen more than a tick
        # after the sampling began, after a tick without one, is the first
        # of a walk.  Only a run at the very start may be a walk's tail.
        starts_walk = not first or smp[ks[0]]["t"] / 1000 - t_first >= 0.6
        if not last:
            check(len(ks) % 4 == 0 or not starts_walk, f"walk {name} of {len(ks)} moves (samples {ks})")
        if starts_walk:
            offset = 0
        elif not last:
            offset = (4 - len(ks) % 4) % 4
        else:
            continue
        for m, k in enumerate(ks):
            end = next((x[3] for x in positions(smp) if x[3] > k), len(smp))
            got = settled_cell(smp, k, end)
            if got is not None:
                expect_eq(got, ("rPic1", strides[(m + offset) % 4]),
                          f"frame after move {(m + offset) % 4 + 1} of a walk {name} at sample {k}")
        if starts_walk:
            shown = Counter(x["cell"] for x in smp[max(0, ks[0] - 4):ks[0]] if x["cell"]).most_common(1)
            if shown:
                expect_eq(shown[0][0], ("rPic1", turn), f"frame before the first move of a walk {name} (sample {ks[0]})")
    check(any(len(ks) >= 4 for _, ks in runs), "no whole walk seen in 100 s")
    check(cells_seen & IDLE_CELLS, "no idle action (hand or squat) seen")


@test(timeout=130)
def drag_moves_him_and_he_walks_on_from_there(s):
    lv = live(s)
    w = Watch(s.d, lv.cells, "live-drag", interval=40, duration=115000)
    try:
        # Best during a walk: its remaining moves then start from the drop.
        # The grab and the release go right after a tick, so that no move of
        # the walk falls between reading the place and pressing, or between
        # the release and the first sample after it.
        end = time.monotonic() + 30
        tick = None
        while time.monotonic() < end:
            pos = positions(w.snapshot())
            if len(pos) >= 2 and w.now() - pos[-1][2] < 0.15:
                tick = pos[-1][2]
                break
            time.sleep(0.02)
        if tick is not None:
            time.sleep(max(0.0, tick + 0.1 - w.now()))
        for attempt in range(2):
            p0 = pekko(s)["rect"]
            x0, y0 = p0["x"], p0["y"]
            dx = -120 if x0 > SCREEN_W // 2 else 120
            dy = -90 if y0 > SCREEN_H // 2 else 90
            gx, gy = x0 + 32, y0 + 32
            s.d.xdotool("mousemove", str(gx), str(gy))
            s.d.xdotool("mousedown", "1")
            # The first movement with the button down starts the move loop,
            # which takes the grab offset there.
            s.d.xdotool("mousemove", str(gx + 6), str(gy + 6))
            for k in range(1, 5):
                time.sleep(0.03)
                s.d.xdotool("mousemove", str(gx + 6 + dx * k // 4), str(gy + 6 + dy * k // 4))
            s.d.xdotool("mouseup", "1")
            released = w.now()
            s.d.xdotool("mousemove", *PARK)
            time.sleep(0.3)
            smp = w.snapshot()
            after = [x for x in smp if x["t"] / 1000 > released + 0.03 and x.get("found")]
            check(after, "no sample after the release")
            drop = (after[0]["x"], after[0]["y"])
            if abs(drop[0] - (x0 + dx)) <= 2 and abs(drop[1] - (y0 + dy)) <= 2:
                break
            log(f"drag attempt {attempt + 1}: from ({x0}, {y0}) by ({dx}, {dy}) landed at {drop}")
        check(abs(drop[0] - (x0 + dx)) <= 2 and abs(drop[1] - (y0 + dy)) <= 2,
              f"dragged from ({x0}, {y0}) by ({dx}, {dy}), the window is at {drop}")
        save_region(s.d, {"x": drop[0] - 64, "y": drop[1] - 64, "w": 192, "h": 192}, "live-after-drag", scale=1)
        # He walks on from the drop: later places are whole moves from it,
        # taken as pixels x 15 twips.
        origin = (drop[0] * TPP, drop[1] * TPP)
        first = next(k for k, x in enumerate(smp) if x is after[0])
        end = time.monotonic() + 75
        while time.monotonic() < end:
            smp = w.snapshot()
            if len(positions(smp[first:])) >= 2:
                time.sleep(0.2)
                break
            time.sleep(0.2)
        smp = w.snapshot()[first:]
    finally:
        w.stop()
    moves = check_moves(smp, origin, "after the drag")
    check(moves, "no walk move within 75 s after the drag")
    log(f"drag: ({x0}, {y0}) -> {drop}; {'during a walk' if tick is not None else 'while idle'}; "
        f"then places {[(p[0], p[1]) for p in positions(smp)][:6]}")
    s.dropped = drop


@test
def click_shows_clock_box_below_him(s):
    lv = live(s)
    watch = s.d.probe_stream("topmost-during", "ペッコ", "pekkoForm", "15000")
    try:
        check(b"ready" in watch.stdout.readline(), "probe topmost-during did not start")
        r = pekko(s)["rect"]
        s.d.xdotool("mousemove", str(r["x"] + 32), str(r["y"] + 32), "click", "1")
        box = s.d.probe("dialog", "ペッコ", "5000", check=False)[1]
        check(box, "no message box titled ペッコ after a click on him")
        now = s.d.probe("now")[1]
        s.d.xdotool("mousemove", *PARK)
        b = box[0]
        expect_eq(b["pid"], lv.pid, "process of the box")
        texts = [c["text"] for c in b["children"] if c["class"] == "Static" and c["text"]]
        buttons = [c for c in b["children"] if c["class"] == "Button" and c["visible"]]
        expect_eq([c["text"] for c in buttons], ["OK"], "buttons of the box")
        time.sleep(0.3)
        save_region(s.d, b["rect"], "live-click-box")
        check(len(texts) == 1, f"texts of the box: {texts}")
        m = CLOCK_RE.match(texts[0])
        check(m, f"box text {texts[0]!r} is not month月day日(weekday) hour時minute分 だよ")
        month, day, wd, hour, minute = int(m[1]), int(m[2]), m[3], int(m[4]), int(m[5])
        wine = datetime(now["year"], now["month"], now["day"], now["hour"], now["minute"], now["second"])
        shown = datetime(now["year"], month, day, hour, minute)
        check(timedelta(minutes=-2) <= shown - wine <= timedelta(minutes=1),
              f"box says {texts[0]!r}, Wine's clock is {wine}")
        expect_eq(wd, WEEKDAYS[(shown.weekday() + 1) % 7], f"weekday kanji for {shown:%Y-%m-%d}")
        if shown.date() == wine.date():
            expect_eq(wd, WEEKDAYS[now["weekday"]], "weekday kanji against Wine's weekday")
        ok = buttons[0]["rect"]
        s.d.xdotool("mousemove", str(ok["x"] + ok["w"] // 2), str(ok["y"] + ok["h"] // 2), "click", "1")
        s.d.xdotool("mousemove", *PARK)
        res = json.loads(watch.stdout.readline() or b"{}")
    finally:
        watch.kill()
    log(f"click box: {res}")
    check(res.get("appeared"), "the probe did not see the box")
    check(res["topmost_at_open"] is False, "pekkoForm was topmost when his box appeared")
    check(res["closed"], "the box did not close on OK")
    back = res["topmost_after_close_ms"]
    # The box's return puts him back at once; a frame drawn by the next tick
    # would do it too, but only up to 500 ms later.
    check(back is not None and back <= 150, f"pekkoForm topmost again {back} ms after the box closed")
    check(pekko(s)["topmost"], "pekkoForm not topmost after the box")


# ------------------------------------------------------------------ tray

def tray_icon_box(s):
    """The bounding box of what changed in the notification area since the
    start, in screen coordinates, or None."""
    lv = s.live
    x0, y0, tw, th = lv.tray_area
    _, _, now = s.d.capture(*lv.tray_area, f"{lv.name}-tray-now")
    empty = lv.tray_empty
    diff = [(k // 3 % tw, k // 3 // tw) for k in range(0, len(now), 3) if now[k:k + 3] != empty[k:k + 3]]
    if not diff:
        return None
    xs, ys = [p[0] for p in diff], [p[1] for p in diff]
    return {"x": x0 + min(xs), "y": y0 + min(ys), "w": max(xs) - min(xs) + 1, "h": max(ys) - min(ys) + 1, "n": len(diff)}


def reference_menu(s):
    """The same nine captions as a popup of the probe's own, opened at (300, 200)."""
    lv = s.live
    if lv.ref is None:
        ppm = OUT / f"{lv.name}-menu-reference.ppm"
        lv.ref = s.d.probe("refmenu", "300", "200", wineenv.winpath(ppm), *MENU_CAPTIONS)[1]
        lv.ref["rgb"] = wineenv.read_ppm(ppm)[2]
        wineenv.ppm_to_png(ppm, OUT / f"{lv.name}-menu-reference.png", scale=2)
    return lv.ref


def open_menu_by_click(s):
    box = tray_icon_box(s)
    check(box, "no icon in the notification area")
    cx, cy = box["x"] + box["w"] // 2, box["y"] + box["h"] // 2
    s.d.xdotool("mousemove", str(cx), str(cy), "click", "1")
    p = wait_popup(s, s.live.pid, True)
    check(p, f"no popup menu after a click on the icon at ({cx}, {cy})")
    return p[0]["rect"], (cx, cy)


def click_item(s, popup, item):
    ref = reference_menu(s)
    it = ref["items"][item]
    rx = it["x"] - ref["popup"]["x"] if it["x"] >= ref["popup"]["x"] else it["x"]
    ry = it["y"] - ref["popup"]["y"] if it["y"] >= ref["popup"]["y"] else it["y"]
    x, y = popup["x"] + rx + it["w"] // 2, popup["y"] + ry + it["h"] // 2
    s.d.xdotool("mousemove", str(x), str(y))
    time.sleep(0.15)
    s.d.xdotool("click", "1")
    s.d.xdotool("mousemove", *PARK)


def close_menu(s):
    s.d.xdotool("mousemove", "150", "100", "click", "1")
    s.d.xdotool("mousemove", *PARK)
    return not wait_popup(s, s.live.pid, False)


def check_menu_as_reference(s, popup, px, py):
    """The popup opened by a click at (px, py) is the nine-item menu: its
    place, size and picture against the probe's popup of the same captions.
    Leaves {name}-tray-menu.png and the whole screen with it open."""
    lv, ref = s.live, reference_menu(s)
    # TrackPopupMenu at the pointer, moved only as far as needed to fit
    # on the screen above the taskbar.
    check(popup["x"] <= px <= popup["x"] + popup["w"] + 2 and popup["y"] <= py + 2,
          f"popup {popup} is not at the pointer ({px}, {py})")
    check(popup["x"] + popup["w"] <= SCREEN_W and popup["y"] + popup["h"] <= lv.tray_area[1],
          f"popup {popup} leaves the screen or covers the taskbar")
    check(popup["x"] == min(px, SCREEN_W - popup["w"]), f"popup {popup} is not at the pointer x {px}")
    # Six text items and three separators: the reference popup with the
    # same captions tells their heights in this Wine.
    heights = [i["h"] for i in ref["items"]]
    text_h = {h for c, h in zip(MENU_CAPTIONS, heights) if c != "-"}
    sep_h = {h for c, h in zip(MENU_CAPTIONS, heights) if c == "-"}
    check(len(text_h) == 1 and len(sep_h) == 1 and text_h != sep_h, f"reference item heights {heights}")
    border = ref["popup"]["h"] - sum(heights)
    expect_eq(popup["h"], 6 * text_h.pop() + 3 * sep_h.pop() + border, "popup height (6 items, 3 separators)")
    expect_eq(popup["w"], ref["popup"]["w"], "popup width (as wide as the same captions in the probe's menu)")
    # The tooltip of the icon lies over the menu until the pointer leaves.
    s.d.xdotool("mousemove", "600", "100")
    time.sleep(0.8)
    name = f"{lv.name}-tray-menu"
    save_region(s.d, popup, name, keep=True)
    _, _, rgb = s.d.capture(popup["x"], popup["y"], popup["w"], popup["h"], f"{name}-gdi")
    if rgb != ref["rgb"]:
        wineenv.ppm_to_png(OUT / f"{name}-gdi.ppm", OUT / f"{name}-gdi.png", scale=2)
    check(rgb == ref["rgb"], "the popup's picture differs from the probe's menu of the same nine captions "
          f"(see {name}-gdi.png and {lv.name}-menu-reference.png)")


def exit_through_menu(s, popup):
    """Chooses 終了 in the open popup: the process ends, his window and the
    notification-area icon go."""
    lv = s.live
    click_item(s, popup, EXIT_ITEM)
    app = lv.run.app
    t = time.monotonic()
    try:
        app.wait(5)
    except Exception:
        s.d.screenshot(OUT / f"{lv.name}-exit-failed.png")
        raise Failure(f"xpekko.exe still runs 5 s after 終了 (popup open: {popups(s, lv.pid)}; "
                      f"see {lv.name}-exit-failed.png)")
    log(f"exit: process ended {time.monotonic() - t:.2f} s after the click, code {app.returncode}")
    gone = s.d.probe("wait", "pekkoForm", "3000", "gone", check=False)[0] == 0
    check(gone, "pekkoForm is still there")
    end = time.monotonic() + 3
    while tray_icon_box(s) and time.monotonic() < end:
        time.sleep(0.1)
    left = tray_icon_box(s)
    wineenv.ppm_to_png(OUT / f"{lv.name}-tray-now.ppm", OUT / f"{lv.name}-tray-after-exit.png", scale=6)
    check(left is None, f"the notification area still differs from before the start: {left}")
    s.stop(lv.name)
    s.live = None


@test
def tray_icon_click_opens_nine_item_menu(s):
    lv = live(s)
    box = tray_icon_box(s)
    check(box and box["n"] >= 40, f"the notification area looks as before the start ({box})")
    check(box["w"] <= 16 and box["h"] <= 16, f"the icon's area is {box}, larger than a small icon")
    wineenv.ppm_to_png(OUT / "live-tray-now.ppm", OUT / "live-tray-icon.png", scale=6)
    popup, (px, py) = open_menu_by_click(s)
    try:
        check_menu_as_reference(s, popup, px, py)
    finally:
        s.live.menu_open = bool(popups(s, lv.pid))


@test
def click_outside_closes_menu(s):
    lv = live(s)
    if not popups(s, lv.pid):
        open_menu_by_click(s)
    s.d.xdotool("mousemove", "150", "100", "click", "1")
    s.d.xdotool("mousemove", *PARK)
    left = wait_popup(s, lv.pid, False)
    check(not left, f"the popup is still open after a click on the desktop: {left}")
    check(lv.run.app.poll() is None, "the program ended")
    boxes = [w for w in s.app_windows(lv.run) if w["class"] == "#32770" and w["visible"]]
    check(not boxes, f"a click outside the menu opened {boxes}")


@test
def version_item_shows_version_box(s):
    lv = live(s)
    popup, _ = open_menu_by_click(s)
    click_item(s, popup, ABOUT_ITEM)
    box = s.d.probe("dialog", VERSION_TITLE, "5000", check=False)[1]
    check(box, f"no box titled {VERSION_TITLE} after choosing it")
    b = box[0]
    expect_eq(b["pid"], lv.pid, "process of the box")
    texts = [c["text"] for c in b["children"] if c["class"] == "Static" and c["text"]]
    expect_eq(texts, [VERSION_TEXT], "text of the version box")
    buttons = [c for c in b["children"] if c["class"] == "Button" and c["visible"]]
    expect_eq([c["text"] for c in buttons], ["OK"], "buttons of the version box")
    check(not popups(s, lv.pid), "the popup is still open with the box")
    time.sleep(0.3)
    save_region(s.d, b["rect"], "live-version-box")
    ok = buttons[0]["rect"]
    s.d.xdotool("mousemove", str(ok["x"] + ok["w"] // 2), str(ok["y"] + ok["h"] // 2), "click", "1")
    s.d.xdotool("mousemove", *PARK)
    end = time.monotonic() + 3
    while s.d.probe("dialog", VERSION_TITLE, "0", check=False)[1] and time.monotonic() < end:
        time.sleep(0.1)
    check(not s.d.probe("dialog", VERSION_TITLE, "0", check=False)[1], "the version box did not close on OK")


@test
def tray_callback_posted_by_another_program(s):
    # The callback is WM_MOUSEMOVE with the mouse message as lParam; only
    # the two button releases open the menu, at the pointer.
    lv = live(s)
    menu = s.d.windows("menuForm")[0]["hwnd"]
    s.d.xdotool("mousemove", "300", "200")
    results = {}
    try:
        for lp in (WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP, WM_RBUTTONUP, WM_LBUTTONUP, 515, 516):
            s.d.probe("post", menu, WM_MOUSEMOVE, 1, lp)
            opened = wait_popup(s, lv.pid, True, timeout=1.5 if lp in (WM_LBUTTONUP, WM_RBUTTONUP) else 0.8)
            results.setdefault(lp, []).append(opened[0]["rect"] if opened else None)
            if opened:
                check(close_menu(s), f"the menu opened by {lp} did not close")
                s.d.xdotool("mousemove", "300", "200")
    finally:
        s.d.xdotool("mousemove", *PARK)
        if popups(s, lv.pid):
            close_menu(s)
    log(f"posted callbacks: {results}")
    for lp in (WM_LBUTTONDOWN, WM_MOUSEMOVE, 515, 516):
        check(results[lp] == [None], f"a posted callback {lp} opened the menu")
    for lp in (WM_LBUTTONUP, WM_RBUTTONUP):
        check(results[lp][0], f"a posted callback {lp} did not open the menu (posted in this order, the pointer "
              f"resting at (300, 200); popup per lParam: {results})")
        expect_eq((results[lp][0]["x"], results[lp][0]["y"]), (300, 200), f"popup corner after {lp}")
    check(results[WM_LBUTTONUP][1], "a second posted left-button release (after the right one) did not open the menu")


@test
def exit_item_ends_program_and_removes_icon(s):
    live(s)
    popup, _ = open_menu_by_click(s)
    exit_through_menu(s, popup)
