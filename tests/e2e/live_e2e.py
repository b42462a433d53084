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
import subprocess
import threading
import time
from datetime import datetime, timedelta

from PIL import Image, ImageChops, ImageDraw, ImageMath

import wineenv
from run_e2e import CELL, OUT, Failure, check, expect_eq, test
from wineenv import ROOT, SCREEN_H, SCREEN_W, log

SHEETS = {n: ROOT / f"resources/{n}.gif" for n in ("rPic1", "rPic2", "rPic3")}
STEP = 160.0  # twips per walk move
TPP = 15.0    # twips per pixel at 96 dpi
RER_H = 92    # rer's cell height
PARK = ("1010", "10")  # pointer out of the way (no tooltip in the pictures)

# The walks by direction of movement in pixels: stride cells after moves 1-4
# and the standing cell the walk turns to first.
WALKS = {(0, 1): ("down", [1, 0, 2, 0], 0), (0, -1): ("up", [4, 3, 5, 3], 3),
         (-1, 0): ("left", [7, 6, 8, 6], 6), (1, 0): ("right", [10, 9, 11, 9], 9)}
IDLE_CELLS = {("rPic2", n) for n in range(6)}  # hand raised 0, 1; squatting 2-5

CLOCK_RE = re.compile(r"^(\d{1,2})月(\d{1,2})日\((日|月|火|水|木|金|土)\) (\d{1,2})時(\d{1,2})分 だよ$")
WEEKDAYS = "日月火水木金土"  # Sunday first, as Wine's wDayOfWeek counts
SEND_OUT, CALL_BACK = "遊びにやる", "呼び戻す"
MENU_CAPTIONS = [SEND_OUT, "-", "日付と時刻の調整", "音量の調節", "-", "駆け落ち率の設定", "ﾊﾞｰｼﾞｮﾝ情報", "-", "終了"]
# Places of the items in the menu, separators counted.
SEND_OUT_ITEM, DATE_TIME_ITEM, VOLUME_ITEM, RATE_ITEM, ABOUT_ITEM, EXIT_ITEM = 0, 2, 3, 5, 6, 8
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
    """Every cell of the three sheets composed over the desktop at a place, so
    that a captured frame can be named: ("rPic1", 9), ("rPic3", 10) etc."""

    def __init__(self, desktop_rgb):
        self.desktop = Image.frombytes("RGB", (SCREEN_W, SCREEN_H), desktop_rgb)  # before the start
        self.sheets = {}
        for name, path in SHEETS.items():
            im = Image.open(path).convert("RGB")
            h = im.height // 2  # the masks in the lower band
            self.sheets[name] = [(im.crop((CELL * k, 0, CELL * k + CELL, h)), im.crop((CELL * k, h, CELL * k + CELL, 2 * h)))
                                 for k in range(im.width // CELL)]
        self.cache = {}

    def expected(self, sheet, k, x, y):
        """Cell k drawn at (x, y) as the program composes it: per channel
        image XOR (mask AND NOT background)."""
        key = (sheet, k, x, y)
        if key not in self.cache:
            img, mask = self.sheets[sheet][k]
            bg = self.desktop.crop((x, y, x + CELL, y + img.height))
            self.cache[key] = Image.merge("RGB", [ImageMath.eval("convert(i ^ (m & (b ^ 255)), 'L')", i=i, m=m, b=b)
                                                  for i, m, b in zip(img.split(), mask.split(), bg.split())])
        return self.cache[key]

    def name(self, shot, x, y, sheets, hide=()):
        """The cell a capture at (x, y) shows, compared where it is on the
        screen and outside the rectangles `hide` (another window over or under
        it); None when it is none."""
        keep = Image.new("L", shot.size, 0)
        keep.paste(255, (-x, -y, SCREEN_W - x, SCREEN_H - y))  # the part on the screen
        for r in hide:
            keep.paste(0, (r["x"] - x, r["y"] - y, r["x"] + r["w"] - x, r["y"] + r["h"] - y))
        for sheet in sheets:
            for k in range(len(self.sheets[sheet])):
                if shot.size != (CELL, self.sheets[sheet][k][0].height):
                    break
                diff = ImageChops.difference(shot, self.expected(sheet, k, x, y)).split()
                diff = ImageChops.lighter(ImageChops.lighter(diff[0], diff[1]), diff[2])
                if not ImageChops.multiply(diff.point(lambda v: 255 if v else 0), keep).getbbox():
                    return (sheet, k)
        return None


def footprint(w, height, wider=0):
    """Where a shown character window lies at its full size (it collapses for
    a moment at each frame), `wider` pixels more to the right; or None."""
    return {"x": w["x"], "y": w["y"], "w": CELL + wider, "h": height} if w.get("visible") else None


def overlap(a, b):
    return bool(a and b and a["x"] < b["x"] + b["w"] and b["x"] < a["x"] + a["w"]
                and a["y"] < b["y"] + b["h"] and b["y"] < a["y"] + a["h"])


# ------------------------------------------------------------------ watching

class Watch:
    """probe watch in the background: samples of pekkoForm and rionForm
    (place, size, topmost, a capture named as a cell) collected by a reader
    thread while the test acts. A sample is ペッコ's; its "rer" is rer's."""

    def __init__(self, d, cells, name, interval=100, duration=120000, title=None):
        self.cells = cells
        self.dir = OUT / f"{name}-samples"
        self.dir.mkdir(parents=True, exist_ok=True)
        for old in self.dir.glob("*.ppm"):
            old.unlink()
        args = ["watch", "pekkoForm,rionForm", interval, duration, wineenv.winpath(self.dir)] + ([title] if title else [])
        self.proc = d.probe_stream(*args)
        check(b"ready" in self.proc.stdout.readline(), "probe watch did not start")
        self.t0 = time.monotonic()  # about the probe's t = 0
        self.samples = []
        self.boxes = []  # (from, to) on the samples' clock: a character's box was open
        self.pekko_before = None  # ペッコ's place in the last sample
        self.lock = threading.Lock()
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        for line in self.proc.stdout:
            s = json.loads(line)
            if "i" not in s:
                continue
            p, r = s.pop("wins")
            s.update(p)
            s["rer"] = r
            # Each window's capture is compared outside the other's place.
            # ペッコ's frames drawn during rer's ride hold rer where he was a
            # step or two (up to 28 px) to the right; rer's frame may hold
            # ペッコ where he was a sample ago (he steps down as they leave
            # together). Captures of a window in part beyond the screen's
            # edge come out black: no shots.
            pf, rf = footprint(p, CELL), footprint(r, RER_H)
            hides = ([footprint(r, RER_H, wider=28)], [f for f in (pf, self.pekko_before) if f])
            self.pekko_before = pf
            for k, (w, sheets) in enumerate(((s, ("rPic1", "rPic2")), (r, ("rPic3",)))):
                w["hidden_part"] = overlap(pf, hides[0][0]) if k == 0 else any(overlap(f, rf) for f in hides[1])
                w["shot"] = bool(w.get("shot") and w["w"] == CELL and 0 <= w["x"] <= SCREEN_W - CELL)
                w["cell"] = self.cells.name(Image.open(self.dir / f"{s['i']}-{k}.ppm").convert("RGB"), w["x"], w["y"],
                                            sheets, hides[k] if w["hidden_part"] else ()) if w["shot"] else None
            s["ok"] = s["shot"]
            with self.lock:
                self.samples.append(s)

    def now(self):
        """Seconds on the samples' clock."""
        return time.monotonic() - self.t0

    def snapshot(self):
        with self.lock:
            return list(self.samples)

    def wait(self, cond, timeout, what=None):
        """Waits until cond(samples) is true; the samples then (a failure, with `what`, if it never is)."""
        end = time.monotonic() + timeout
        while not cond(self.snapshot()):
            if time.monotonic() > end:
                check(what is None, f"not within {timeout:.0f} s: {what}")
                break
            time.sleep(0.05)
        return self.snapshot()

    def stop(self):
        self.proc.kill()
        self.proc.wait(10)
        self.reader.join(5)
        (self.dir / "samples.json").write_text("\n".join(map(json.dumps, self.samples)))  # for a look after a failure
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

class Strip:
    """Screenshots cropped around places, side by side with labels, for review."""

    def __init__(self, s, name):
        self.s, self.name, self.shots, self.labels = s, name, [], []

    def add(self, label, x, y, size=160):
        """The screen now, `size` pixels square around a character window at (x, y)."""
        left = min(max(0, x + CELL // 2 - size // 2), SCREEN_W - size)
        top = min(max(0, y + CELL // 2 - size // 2), SCREEN_H - size)
        self.shots.append(self.s.d.screenshot().crop((left, top, left + size, top + size)))
        self.labels.append(label)

    def save(self, scale=1):
        if not self.shots:
            return
        w, h = self.shots[0].width * scale, self.shots[0].height * scale
        strip = Image.new("RGB", (len(self.shots) * (w + 4), h + 16), (255, 255, 255))
        draw = ImageDraw.Draw(strip)
        for k, (im, label) in enumerate(zip(self.shots, self.labels)):
            strip.paste(im.resize((w, h), Image.NEAREST), (k * (w + 4), 16))
            draw.text((k * (w + 4) + 2, 2), label, fill=(0, 0, 0))
        strip.save(OUT / f"{self.name}.png")


def save_region(d, rect, name, scale=2, margin=8, keep=False):
    """An enlarged picture of rect and around it (keep: and of the whole screen)."""
    im = d.screenshot(OUT / f"{name}-screen.png" if keep else None)
    box = (max(0, rect["x"] - margin), max(0, rect["y"] - margin),
           min(SCREEN_W, rect["x"] + rect["w"] + margin), min(SCREEN_H, rect["y"] + rect["h"] + margin))
    im = im.crop(box)
    im.resize((im.width * scale, im.height * scale), Image.NEAREST).save(OUT / f"{name}.png")


# ------------------------------------------------------------------ state

class Live:
    """What these tests share: the desktop as it was before the start, the
    reference popups, the program's run (the start called `name`, whose
    pictures are named after it, with the stored elopement rate `rate` and
    the random seed `seed`) and, with `watch`, a Watch begun before it."""

    def __init__(self, s, name, rate, seed=None, watch=None):
        s.stop_all()
        self.name = name
        self.desktop = s.d.capture(0, 0, SCREEN_W, SCREEN_H, f"{name}-desktop-before")[2]
        # The right end of the taskbar, where Wine puts the icons: two
        # taskbar heights wide (the taskbar and icons grow with the dpi).
        bar = s.d.windows("Shell_TrayWnd")[0]["rect"]
        self.tray_area = (SCREEN_W - 2 * bar["h"], bar["y"], 2 * bar["h"], bar["h"])
        self.tray_empty = s.d.capture(*self.tray_area, f"{name}-tray-empty")[2]
        self.cells = Cells(self.desktop)
        # Before the start, so that nothing of the program lies over them.
        self.refs = {}
        s.live = self
        for first in (SEND_OUT, CALL_BACK):
            reference_menu(s, first)
        s.d.reg_put(rate)
        self.watch = watch and Watch(s.d, self.cells, watch, interval=50, duration=170000)
        self.run = s.run(name, {"XPEKKO_RANDOM_SEED": str(seed)} if seed is not None else None)
        self.pid = self.run.snap["window"]["pid"]


# The live run's seed: a whole walk within 3 s and no visit for the first
# 150 s, so that the walk and drag checks need no luck (unseeded, a visit
# once took 70 of the walk check's 100 s).
LIVE_SEED = 33


def live(s, name="live", rate="0", seed=LIVE_SEED, **kw):
    """The start called `name`; started now unless it runs. The live run
    stores the rate 0, so that ペッコ never leaves with rer meanwhile; seed
    None leaves the program's course to chance."""
    if getattr(s, "live", None) is None or s.runs.get(name) is not s.live.run:
        s.live = Live(s, name, rate, seed=seed, **kw)
    return s.live


def pekko(s):
    return s.d.windows("pekkoForm")[0]


def visiting(sample):
    """Whether rer's window is shown on the screen in this sample."""
    r = sample["rer"]
    return bool(r.get("visible") and -CELL < r["x"] < SCREEN_W)


def watch_without_rer(s, name, interval, duration):
    """The live run and a Watch called `name` of it, from when rer is out
    of sight (while he visits, ペッコ refuses drags and stops his moves)."""
    lv = live(s)
    w = Watch(s.d, lv.cells, name, interval=interval, duration=duration)
    try:
        w.wait(lambda smp: smp and not visiting(smp[-1]), 150, "rer gone")
    except BaseException:
        w.stop()
        raise
    return lv, w


def drag_by(x0, y0):
    return (-120 if x0 > SCREEN_W // 2 else 120), (-90 if y0 > SCREEN_H // 2 else 90)


def drag(s, w):
    """Presses on ペッコ, moves by drag_by and releases, as a user does
    (xdotool); returns his place before, the first place sampled after the
    release, and the release time on the watch's clock."""
    p0 = pekko(s)["rect"]
    x0, y0 = p0["x"], p0["y"]
    dx, dy = drag_by(x0, y0)
    gx, gy = x0 + 32, y0 + 32
    s.d.xdotool("mousemove", str(gx), str(gy))
    s.d.xdotool("mousedown", "1")
    # The first movement with the button down starts the move loop, which
    # takes the grab offset there.
    s.d.xdotool("mousemove", str(gx + 6), str(gy + 6))
    for k in range(1, 5):
        time.sleep(0.03)
        s.d.xdotool("mousemove", str(gx + 6 + dx * k // 4), str(gy + 6 + dy * k // 4))
    s.d.xdotool("mouseup", "1")
    released = w.now()
    s.d.xdotool("mousemove", *PARK)
    smp = w.wait(lambda smp: [x for x in smp if x["t"] / 1000 > released + 0.25 and x.get("found")], 5,
                 "a sample after the release")
    after = next(x for x in smp if x["t"] / 1000 > released + 0.03 and x.get("found"))
    return x0, y0, (after["x"], after["y"]), released


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
    strip, last_shot, walking, idle = Strip(s, "live-walk-strip"), -10.0, 0, 0
    try:
        # A minute; longer (up to 100 s) until a whole walk has been seen
        # (the seed gives one within 3 s).
        while True:
            time.sleep(0.25)
            smp = w.snapshot()
            t = w.now()
            full_walk = any(len(k) >= 4 for _, k in walk_runs(check_moves(smp, start_twips(), "so far")))
            if (t >= 60 and full_walk) or t >= 100:
                break
            if not smp or len(strip.shots) >= 12 or t - last_shot < 2.0:
                continue
            cur = smp[-1]
            c = cur.get("cell")
            moving = len(positions(smp[-6:])) > 1
            if (moving and walking < 6) or (c in IDLE_CELLS and idle < 6 and t - last_shot > 5):
                strip.add(f"{t:.0f}s {c[0][-1] + ':' + str(c[1]) if c else '?'}", cur["x"], cur["y"], 192)
                walking += moving
                idle += not moving
                last_shot = t
    finally:
        smp = w.stop()
        strip.save()

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
    # While rer visits, his window lies over a part of ペッコ's: that part is
    # left out of the comparison (and those samples counted).
    log(f"behaviour: {len(found)} samples over {found[-1]['t'] / 1000:.0f} s, {len(named)} of {len(shots_ok)} "
        f"captures are cells ({sum(bool(x['hidden_part']) for x in shots_ok)} in part under rer), "
        f"{len(moves)} moves, places {len(positions(smp))}, cells {sorted(cells_seen)}, "
        f"rer seen in {sum(bool(x['rer'].get('visible')) for x in found)} samples")
    check(len(named) >= 0.9 * len(shots_ok),
          f"only {len(named)} of {len(shots_ok)} captures are a cell of rPic1 or rPic2 over the desktop "
          f"(unnamed ones: {[x['i'] for x in shots_ok if not x['cell']][:10]} in {OUT}/live-behaviour-samples)")

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


@test(timeout=300)
def drag_moves_him_and_he_walks_on_from_there(s):
    lv, w = watch_without_rer(s, "live-drag", 40, 290000)
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
        for attempt in range(3):
            w.wait(lambda smp: smp and not visiting(smp[-1]), 150, "rer gone")
            x0, y0, drop, released = drag(s, w)
            dx, dy = drag_by(x0, y0)
            if abs(drop[0] - (x0 + dx)) <= 2 and abs(drop[1] - (y0 + dy)) <= 2:
                break
            log(f"drag attempt {attempt + 1}: from ({x0}, {y0}) by ({dx}, {dy}) landed at {drop}"
                f"{' (rer came)' if any(visiting(x) for x in w.snapshot()[-20:]) else ''}")
        check(abs(drop[0] - (x0 + dx)) <= 2 and abs(drop[1] - (y0 + dy)) <= 2,
              f"dragged from ({x0}, {y0}) by ({dx}, {dy}), the window is at {drop}")
        save_region(s.d, {"x": drop[0] - 64, "y": drop[1] - 64, "w": 192, "h": 192}, "live-after-drag", scale=1)
        # He walks on from the drop: later places are whole moves from it,
        # taken as pixels x 15 twips.
        origin = (drop[0] * TPP, drop[1] * TPP)
        first = next(k for k, x in enumerate(w.snapshot()) if x["t"] / 1000 > released + 0.03 and x.get("found"))
        # Up to 75 s without rer, who may come meanwhile (he stops all moves).
        w.wait(lambda smp: len(positions(smp[first:])) >= 2 or
               sum(not visiting(x) for x in smp[first:]) * 0.04 > 75, 200)
        time.sleep(0.2)
        smp = w.snapshot()[first:]
    finally:
        w.stop()
    moves = check_moves(smp, origin, "after the drag")
    check(moves, "no walk move within 75 s (without rer) after the drag")
    log(f"drag: ({x0}, {y0}) -> {drop}; {'during a walk' if tick is not None else 'while idle'}; "
        f"then places {[(p[0], p[1]) for p in positions(smp)][:6]}")


def character_box(s, title, at, hold=0.3, shot=None):
    """Clicks at `at` (x, y), or calls `at`, which opens a message box of
    the program's titled `title`; keeps it open `hold` seconds (ticks pass meanwhile), saves
    `shot` (the box and the characters around it), closes it with OK. Checks
    that it is the program's box with one OK button, that neither character
    window is topmost while it is open nor lies over it, and that both are
    topmost again after it closed. Returns the box's text and the time Wine
    told meanwhile."""
    watch = s.d.probe_stream("topmost-during", title, "pekkoForm,rionForm", "15000")
    try:
        check(b"ready" in watch.stdout.readline(), "probe topmost-during did not start")
        if callable(at):
            at()
            box = s.d.probe("dialog", title, "5000", check=False)[1]
        else:
            # A character's window is out of the way for a few milliseconds of
            # each frame while the desktop behind it is read; a click in that
            # moment falls through to the desktop, as it would for a user, who
            # clicks again.
            for _ in range(3):
                s.d.xdotool("mousemove", str(at[0]), str(at[1]), "click", "1")
                box = s.d.probe("dialog", title, "2500", check=False)[1]
                if box:
                    break
        check(box, f"no message box titled {title} after a click at {at}")
        now = s.d.probe("now")[1]
        s.d.xdotool("mousemove", *PARK)
        b = box[0]
        expect_eq(b["pid"], s.live.pid, "process of the box")
        texts = [c["text"] for c in b["children"] if c["class"] == "Static" and c["text"]]
        buttons = [c for c in b["children"] if c["class"] == "Button" and c["visible"]]
        expect_eq([c["text"] for c in buttons], ["OK"], "buttons of the box")
        check(len(texts) == 1, f"texts of the box: {texts}")
        time.sleep(hold)
        chars = [w["rect"] for w in s.d.windows("pekkoForm") + s.d.windows("rionForm")
                 if w["visible"] and -CELL < w["rect"]["x"] < SCREEN_W]
        r = b["rect"]
        x0, y0 = min([r["x"]] + [c["x"] for c in chars]), min([r["y"]] + [c["y"] for c in chars])
        x1 = max([r["x"] + r["w"]] + [c["x"] + c["w"] for c in chars])
        y1 = max([r["y"] + r["h"]] + [c["y"] + c["h"] for c in chars])
        save_region(s.d, {"x": x0, "y": y0, "w": x1 - x0, "h": y1 - y0}, shot or f"{s.live.name}-box")
        ok = buttons[0]["rect"]
        s.d.xdotool("mousemove", str(ok["x"] + ok["w"] // 2), str(ok["y"] + ok["h"] // 2), "click", "1")
        s.d.xdotool("mousemove", *PARK)
        res = json.loads(watch.stdout.readline() or b"{}")
    finally:
        watch.kill()
    log(f"box {title}: {res}")
    check(res.get("appeared"), "the probe did not see the box")
    check(res["topmost_at_open"] is False and not res["changes"],
          f"a character window was topmost while the box was open: {res}")
    check(not res["covered_by"], f"{res['covered_by']} lay over the box")
    check(res["closed"], "the box did not close on OK")
    # Outside a visit rer is not drawn, so only the box's return lifts him.
    check(res["topmost_after_close_ms"] is not None, "the characters were not topmost again within 1 s after the box")
    return texts[0], now


def hover_tip(s, at):
    """Moves the pointer onto `at` (x, y) and returns the text of the
    program's tip that shows, or None. A character's window is away for a
    moment of each frame, which may cut a hover short: up to four tries."""
    tips = []
    for k in range(4):
        s.d.xdotool("mousemove", str(at[0] + k), str(at[1]), "mousemove", str(at[0] + k + 1), str(at[1]))
        tips = [t for t in s.d.probe("texts", "tooltips_class32", "1500", check=False)[1] if t["pid"] == s.live.pid]
        if tips:
            break
    s.d.xdotool("mousemove", *PARK)
    return tips[0]["text"] if tips else None


def check_clock_text(text, now, what):
    """`text` tells the date and time of Wine's clock `now` (probe now), the
    weekday in kanji; within a minute either way of the moment read."""
    m = CLOCK_RE.match(text or "")
    check(m, f"{what} {text!r} is not month月day日(weekday) hour時minute分 だよ")
    month, day, wd, hour, minute = int(m[1]), int(m[2]), m[3], int(m[4]), int(m[5])
    wine = datetime(now["year"], now["month"], now["day"], now["hour"], now["minute"], now["second"])
    shown = datetime(now["year"], month, day, hour, minute)
    check(timedelta(minutes=-2) <= shown - wine <= timedelta(minutes=1), f"{what} says {text!r}, Wine's clock is {wine}")
    expect_eq(wd, WEEKDAYS[(shown.weekday() + 1) % 7], f"weekday kanji for {shown:%Y-%m-%d}")
    if shown.date() == wine.date():
        expect_eq(wd, WEEKDAYS[now["weekday"]], "weekday kanji against Wine's weekday")


@test
def hover_and_click_tell_the_time(s):
    live(s)
    r = pekko(s)["rect"]
    tip = hover_tip(s, (r["x"] + 32, r["y"] + 20))
    check_clock_text(tip, s.d.probe("now")[1], "the tip over him")
    r = pekko(s)["rect"]  # he may have walked meanwhile
    text, now = character_box(s, "ペッコ", (r["x"] + 32, r["y"] + 32), hold=2.2, shot="live-click-box")
    check_clock_text(text, now, "the box")


@test(timeout=240)
def send_out_and_call_back(s):
    import visit_e2e
    lv, w = watch_without_rer(s, "live-send-out", 50, 230000)
    try:
        choose(s, SEND_OUT_ITEM)
        t0 = w.now()
        time.sleep(5.5)
        away = [x for x in w.snapshot() if x["t"] / 1000 > t0 + 0.5]
        expect_eq({(x["visible"], x["rer"]["visible"]) for x in away}, {(False, False)}, "both shown after 遊びにやる")
        expect_eq(len({(x["x"], x["y"], x["w"], x["rer"]["x"], x["rer"]["w"]) for x in away}), 1,
                  "places and sizes while he is away (nothing moves)")
        visit_e2e.call_back(s, w, Strip(s, "live-call-back-strip"))
    finally:
        smp = w.stop()
    visit_e2e.check_all_cells(s, w, [x for x in smp if x["t"] / 1000 > t0], "live-call-back")


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


def reference_menu(s, first=SEND_OUT):
    """The nine captions, the first one `first`, as a popup of the probe's own, opened at (300, 200)."""
    lv = s.live
    if first not in lv.refs:
        name = f"{lv.name}-menu-reference{'-call-back' if first == CALL_BACK else ''}"
        ppm = OUT / f"{name}.ppm"
        ref = s.d.probe("refmenu", "300", "200", wineenv.winpath(ppm), first, *MENU_CAPTIONS[1:])[1]
        ref["rgb"], ref["name"] = wineenv.read_ppm(ppm)[2], name
        wineenv.ppm_to_png(ppm, OUT / f"{name}.png", scale=2)
        lv.refs[first] = ref
    return lv.refs[first]


def open_menu_by_click(s):
    box = tray_icon_box(s)
    check(box, "no icon in the notification area")
    cx, cy = box["x"] + box["w"] // 2, box["y"] + box["h"] // 2
    # Wine's notification area now and then drops a click that comes soon
    # after a menu closed; a user clicks again.
    for _ in range(3):
        s.d.xdotool("mousemove", str(cx), str(cy), "click", "1")
        p = wait_popup(s, s.live.pid, True, timeout=2.5)
        if p:
            return p[0]["rect"], (cx, cy)
        log(f"no popup after a click on the icon at ({cx}, {cy}); clicking again")
    check(False, f"no popup menu after three clicks on the icon at ({cx}, {cy})")


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


def check_menu_as_reference(s, popup, px, py, first=SEND_OUT):
    """The popup opened by a click at (px, py) is the nine-item menu: its
    place, size and picture against the probe's popup of the same captions.
    Leaves {name}-tray-menu.png and the whole screen with it open."""
    lv, ref = s.live, reference_menu(s, first)
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
    name = f"{lv.name}-tray-menu{'-call-back' if first == CALL_BACK else ''}"
    save_region(s.d, popup, name, keep=True)
    _, _, rgb = s.d.capture(popup["x"], popup["y"], popup["w"], popup["h"], f"{name}-gdi")
    if rgb != ref["rgb"]:
        wineenv.ppm_to_png(OUT / f"{name}-gdi.ppm", OUT / f"{name}-gdi.png", scale=2)
    check(rgb == ref["rgb"], f"the popup's picture differs from the probe's menu of the same nine captions, "
          f"the first {first} (see {name}-gdi.png and {ref['name']}.png)")


def choose(s, item, popup=None):
    """Chooses `item` in the tray menu `popup`, or in one opened by a click
    on the icon (None: closes it with a click beside it). Under Wine a menu
    opened right after another window closed or the program started
    sometimes ignored the click on its item: the menu is opened a moment
    later, and a click it ignored (it stays open) repeated. s.menu_clicked:
    when the click that closed it began (the pointer then rests 0.15 s on the
    item). 終了: see ended()."""
    if popup is None:
        time.sleep(0.5)
        popup, _ = open_menu_by_click(s)
    for attempt in range(3):
        s.menu_clicked = time.monotonic()
        if item is None:
            close_menu(s)
        else:
            click_item(s, popup, item)
        if not wait_popup(s, s.live.pid, False, timeout=1.0):
            return ended(s) if item == EXIT_ITEM else None
        log(f"the menu stayed open after a click on item {item} (attempt {attempt + 1})")
    check(False, f"the menu stays open after three clicks on item {item}")


def ended(s):
    """After 終了: the process ends within 5 s, his window and the icon go."""
    lv = s.live
    try:
        lv.run.app.wait(5)
    except subprocess.TimeoutExpired:
        s.d.screenshot(OUT / f"{lv.name}-exit-failed.png")
        raise Failure(f"xpekko.exe still runs 5 s after 終了 (see {lv.name}-exit-failed.png)")
    log(f"exit: process ended {time.monotonic() - s.menu_clicked:.2f} s after the click, code {lv.run.app.returncode}")
    check(s.d.probe("wait", "pekkoForm", "3000", "gone", check=False)[0] == 0, "pekkoForm is still there")
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
    live(s)
    box = tray_icon_box(s)
    check(box and box["n"] >= 40, f"the notification area looks as before the start ({box})")
    check(box["w"] <= 16 and box["h"] <= 16, f"the icon's area is {box}, larger than a small icon")
    wineenv.ppm_to_png(OUT / "live-tray-now.ppm", OUT / "live-tray-icon.png", scale=6)
    popup, (px, py) = open_menu_by_click(s)
    check_menu_as_reference(s, popup, px, py)


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
    live(s)
    text, _ = character_box(s, VERSION_TITLE, lambda: choose(s, ABOUT_ITEM), shot="live-version-box")
    expect_eq(text, VERSION_TEXT, "text of the version box")


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
    choose(s, EXIT_ITEM)
