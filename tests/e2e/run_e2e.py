"""End-to-end tests of xpekko.exe under Wine: what start-up shows.

Runs the Windows build on a headless Wine desktop (see wineenv.py), looks at
it from inside with probe.exe and from outside with X screenshots, prints
PASS/FAIL per test and closes with "e2e: N passed, M failed".  Pictures for
review go to out/e2e/.

    python3 tests/e2e/run_e2e.py [-k SUBSTRING]
"""

import argparse
import json
import os
import signal
import sys
import time
import traceback
from pathlib import Path

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, str(Path(__file__).resolve().parent))
import wineenv  # noqa: E402
from wineenv import BACKGROUND, ROOT, SCREEN_H, SCREEN_W, Desktop, log, ppm_to_png, read_ppm  # noqa: E402

from PIL import Image  # noqa: E402

# E2E_OUT: another directory for the pictures and the prefix, so that two
# runs from one tree at the same time do not share (and delete) one prefix.
OUT = Path(os.environ.get("E2E_OUT", ROOT / "out/e2e")).resolve()
SHEET = Path(os.environ.get("XPEKKO_SHEET", ROOT / "resources/rPic1.gif"))
CELL = 64
# 1024 x 768 at 15 twips per pixel: Left = 15360/2 - 32 = 7648 twips and
# Top = 11520/2 - 32 = 5728 twips, which round to these pixels.
START_X, START_Y = round(7648 / 15), round(5728 / 15)
MENU_TITLE = "ぴょこぴょこペッコ"
TEST_TIMEOUT = 60  # seconds, per test


class Failure(AssertionError):
    pass


def check(cond, msg):
    if not cond:
        raise Failure(msg)


def expect_eq(actual, expected, what):
    check(actual == expected, f"{what}: expected {expected!r}, got {actual!r}")


# ------------------------------------------------------------------ pictures

def composed_cell(sheet_path, n, background):
    """Cell n of a sheet drawn over `background` (packed RGB, 64 x 64) the way
    the program composes frames: per channel I XOR (M AND NOT B)."""
    sheet = Image.open(sheet_path).convert("RGB")
    img = sheet.crop((CELL * n, 0, CELL * n + CELL, CELL)).tobytes()
    mask = sheet.crop((CELL * n, CELL, CELL * n + CELL, 2 * CELL)).tobytes()
    return bytes(i ^ (m & ~b & 0xFF) for i, m, b in zip(img, mask, background))


def diff_pixels(actual, expected, w):
    return [(k // 3 % w, k // 3 // w) for k in range(0, len(expected), 3)
            if actual[k:k + 3] != expected[k:k + 3]]


def save_rgb(rgb, w, h, name, scale=4):
    Image.frombytes("RGB", (w, h), rgb).resize((w * scale, h * scale), Image.NEAREST).save(OUT / name)


def save_diff(actual, expected, w, h, name):
    # Grey where equal, red where not: a fault's shape (fringe, offset,
    # wrong cell) is easier to read than a count.
    out = bytearray()
    for k in range(0, len(expected), 3):
        out += b"\xff\x00\x00" if actual[k:k + 3] != expected[k:k + 3] else b"\x80\x80\x80"
    save_rgb(bytes(out), w, h, name)


def check_cell_picture(frame, expected, name, what):
    """`frame` (w, h, packed RGB) is the cell `expected`: both saved 4x as
    {name}.png and {name}-expected.png, and where they differ a red/grey
    map {name}-diff.png."""
    w, h, rgb = frame
    save_rgb(rgb, w, h, f"{name}.png")
    save_rgb(expected, CELL, CELL, f"{name}-expected.png")
    check((w, h) == (CELL, CELL), f"{what}: the capture is {w} x {h} (see {name}.png)")
    bad = diff_pixels(rgb, expected, w)
    if bad:
        save_diff(rgb, expected, w, h, f"{name}-diff.png")
    check(not bad, f"{what}: {len(bad)} pixels differ, first at {bad[:5]} (see {name}-diff.png)")


# ------------------------------------------------------------------ runs

class Run:
    """One start of the program, watched from before its first frame."""

    def __init__(self, desktop, name, env=None):
        self.d, self.name = desktop, name
        ppm = OUT / f"{name}-first-frame.ppm"
        # The probe watches before the program starts, so it sees the very
        # first frame instead of what a later timer tick may have drawn.
        self.watch = desktop.probe_stream("snap", "pekkoForm", "30000", wineenv.winpath(ppm))
        check(b"ready" in self.watch.stdout.readline(), "probe did not start watching")
        self.app = desktop.start_app(env=env)
        line = self.watch.stdout.readline()
        self.visible_after = time.monotonic() - self.app.started
        check(b'"visible":true' in line, f"pekkoForm never became visible: {line!r}")
        self.snap = json.loads(self.watch.stdout.readline() or b"{}")
        self.watch.wait(30)
        check(self.snap.get("stable"), f"first frame did not settle: {self.snap}")
        self.frame = read_ppm(ppm)
        # With the program frozen (SIGSTOP) the screen holds still: one
        # picture of the character through GDI and one of the whole desktop
        # from the X server, for review and to compare with each other.
        desktop.freeze(self.app)
        try:
            self.frozen = desktop.windows("pekkoForm")[0]["client"]
            c = self.frozen
            self.frozen_gdi = desktop.capture(c["x"], c["y"], c["w"], c["h"], f"{name}-frozen")[2]
            desktop.screenshot(OUT / f"{name}-desktop.png")
        finally:
            desktop.thaw(self.app)
        log(f"{name}: visible {self.visible_after * 1000:.0f} ms after start, frame settled "
            f"{self.snap.get('settled_ms')} ms later ({self.snap.get('pictures')} picture(s) seen)")

    def stop(self):
        self.watch.kill()
        self.d.stop_app(self.app)


class Suite:
    def __init__(self, desktop):
        self.d = desktop
        self.runs = {}
        self.baseline = None

    def run(self, name, env=None):
        """The start called `name` (with `env` added to its environment),
        started now unless it is the one running."""
        if name not in self.runs:
            for other in list(self.runs):
                self.stop(other)
            self.runs[name] = Run(self.d, name, env)
        return self.runs[name]

    def stop(self, name):
        r = self.runs.pop(name, None)
        if r:
            r.stop()

    def stop_all(self):
        for name in list(self.runs):
            self.stop(name)

    def app_windows(self, run):
        """Every top-level window of the program's process."""
        pid = run.snap["window"]["pid"]
        return [w for w in self.d.probe("list")[1] if w["pid"] == pid]


TESTS = []


def test(fn=None, *, timeout=TEST_TIMEOUT):
    """Registers a test; @test(timeout=S) gives it longer than the usual alarm."""
    def register(f):
        f.timeout = timeout
        TESTS.append(f)
        return f
    return register(fn) if fn else register


# The order matters: the desktop baselines come first, the start-up checks
# share one start with the setting absent, and the focus test comes last
# because it leaves Notepad on the screen.

@test
def desktop_is_plain_before_start(s):
    w, h, rgb = s.d.capture(START_X, START_Y, CELL, CELL, "baseline-background")
    check(set(rgb[k:k + 3] for k in range(0, len(rgb), 3)) == {bytes(BACKGROUND)},
          f"the desktop behind the character is not the plain colour {BACKGROUND}")
    s.baseline = rgb
    s.d.screenshot(OUT / "baseline-desktop.png")
    _, _, s.taskbar = s.d.capture(0, SCREEN_H - 40, SCREEN_W, 40, "baseline-taskbar")
    expect_eq(s.d.probe("screen")[1]["w"], SCREEN_W, "screen width")


@test
def no_setting_nothing_written(s):
    s.d.reg_put(None)
    r = s.run("nosetting")
    time.sleep(1.5)  # a few ticks: start-up is long over
    check(r.app.poll() is None, "the program ended")
    expect_eq(s.d.reg_rate(), None, "stored rate after a start without one")


@test
def character_window_placement(s):
    w = s.run("nosetting").snap["window"]
    expect_eq(len(s.d.windows("pekkoForm")), 1, "number of pekkoForm windows")
    check(w["visible"], "pekkoForm is not visible")
    expect_eq((w["client"]["w"], w["client"]["h"]), (CELL, CELL), "client size")
    expect_eq((w["rect"]["w"], w["rect"]["h"]), (CELL, CELL), "window size (no border)")
    expect_eq((w["client"]["x"], w["client"]["y"]), (START_X, START_Y), "client origin on screen")
    check(w["topmost"], "pekkoForm is not topmost")
    check(w["popup"] and not w["caption"], "pekkoForm has a caption")
    expect_eq(w["title"], "", "pekkoForm caption text")


@test
def first_frame_is_cell_0_over_desktop(s):
    check_cell_picture(s.run("nosetting").frame, composed_cell(SHEET, 0, s.baseline), "nosetting-first-frame",
                       "first frame against rPic1 cell 0 over the desktop")


@test
def screen_shows_what_wine_reads(s):
    # The X server's picture of the character must be what GDI reads back
    # from the screen; catches window content that never reached the display.
    r = s.run("nosetting")
    c = r.frozen
    png = Image.open(OUT / "nosetting-desktop.png").convert("RGB")
    x_rgb = png.crop((c["x"], c["y"], c["x"] + c["w"], c["y"] + c["h"])).tobytes()
    bad = diff_pixels(x_rgb, r.frozen_gdi, c["w"])
    check(not bad, f"{len(bad)} pixels of the X screenshot differ from the GDI capture, first at {bad[:5]}")


@test
def companion_and_menu_windows_hidden(s):
    s.run("nosetting")
    rer, menu = s.d.windows("rionForm"), s.d.windows("menuForm")
    expect_eq((len(rer), len(menu)), (1, 1), "numbers of rionForm and menuForm windows")
    check(not rer[0]["visible"] and not menu[0]["visible"], "rionForm or menuForm is visible")
    expect_eq(rer[0]["rect"]["x"], SCREEN_W, "rionForm's left edge")
    expect_eq(menu[0]["title"], MENU_TITLE, "menuForm's title")


@test
def no_taskbar_button(s):
    r = s.run("nosetting")
    mine = s.app_windows(r)
    # Rules that give a window no taskbar button on Windows: owned and not
    # WS_EX_APPWINDOW, or WS_EX_TOOLWINDOW.  Wine's taskbar only honours
    # the owner, so the character windows must be owned.
    for w in mine:
        if w["class"] in ("pekkoForm", "rionForm"):
            check(w["owner"] != 0, f"{w['class']} has no owner window")
            check(not w["owner_visible"], f"{w['class']}'s owner is visible")
            check(not w["appwindow"], f"{w['class']} is WS_EX_APPWINDOW")
    # Wine's taskbar keeps one Button child per task, whose control id is
    # the handle of the window it stands for.
    tray = s.d.probe("children", "Shell_TrayWnd")[1][0]
    handles = {w["hwnd"] for w in mine}
    shown = [c for c in tray["children"] if c["visible"] and c["id"] in handles]
    check(not shown, f"taskbar buttons for the program's windows: {shown}")
    # And the picture: the task button row is as empty as before the start
    # (the notification area at its right end may gain an icon).
    _, _, bar = s.d.capture(0, SCREEN_H - 40, SCREEN_W, 40, "nosetting-taskbar")
    ppm_to_png(OUT / "nosetting-taskbar.ppm", OUT / "nosetting-taskbar.png")
    left = SCREEN_W * 3 // 4
    rows_differ = [y for y in range(40)
                   if bar[(y * SCREEN_W) * 3:(y * SCREEN_W + left) * 3]
                   != s.taskbar[(y * SCREEN_W) * 3:(y * SCREEN_W + left) * 3]]
    check(not rows_differ, f"the taskbar's button row changed (rows {rows_differ[:5]}...)")


@test
def click_keeps_foreground_elsewhere(s):
    s.stop_all()
    note = s.d.start_app("notepad")
    try:
        pad = s.d.probe("wait", "Notepad", "20000", "visible")[1][0]
        s.d.probe("activate", pad["hwnd"], check=False)
        fg = s.d.probe("foreground")[1]["foreground"]
        expect_eq(fg and fg["class"], "Notepad", "foreground before the program starts")
        r = s.run("focus")
        fg = s.d.probe("foreground")[1]["foreground"]
        expect_eq(fg and fg["class"], "Notepad", "foreground after the program started")
        # The character may have walked since; click where he is now.
        now = s.d.windows("pekkoForm")[0]["client"]
        x, y = now["x"] + CELL // 2, now["y"] + CELL // 2
        s.d.xdotool("mousemove", str(x), str(y), "click", "1")
        time.sleep(0.5)
        s.d.screenshot(OUT / "focus-after-click.png")
        s.d.xdotool("mousemove", "1010", "10")
        fg = s.d.probe("foreground")[1]
        w = fg["foreground"]
        check(w is not None, "no foreground window after the click")
        check(w["class"] not in ("pekkoForm", "rionForm"), f"{w['class']} took the foreground")
        # A message box of the program's own may answer the click; anything
        # else must have left Notepad in front.
        if w["pid"] == r.snap["window"]["pid"]:
            expect_eq(w["class"], "#32770", "program window in the foreground after the click")
        else:
            expect_eq(w["class"], "Notepad", "foreground after the click")
    finally:
        s.stop_all()
        s.d.stop_app(note, cls="Notepad")


# The running program: behaviour, drag, click, the tray icon and its menu;
# then starts at 192 and 144 dpi, last because they restart the desktop.
# They import the helpers above from this module under its own name.
sys.modules.setdefault("run_e2e", sys.modules[__name__])
import live_e2e  # noqa: E402,F401
import visit_e2e  # noqa: E402,F401
import dialog_e2e, soak_e2e  # noqa: E402,F401
import dpi_e2e  # noqa: E402,F401


# ------------------------------------------------------------------ runner

class Timeout(Exception):
    pass


def on_alarm(*_):
    raise Timeout("test took longer than its time limit")


def main(argv):
    ap = argparse.ArgumentParser()
    ap.add_argument("-k", default="", help="run only tests whose name contains this (or one of a,b,...)")
    a = ap.parse_args(argv)
    OUT.mkdir(parents=True, exist_ok=True)
    for old in list(OUT.glob("*.png")) + list(OUT.glob("*.ppm")):
        old.unlink()
    chosen = [t for t in TESTS if any(k in t.__name__ for k in a.k.split(","))]
    passed = failed = 0
    t_all = time.monotonic()
    signal.signal(signal.SIGALRM, on_alarm)
    try:
        with Desktop(OUT) as d:
            suite = Suite(d)
            for t in [TESTS[0]] + [t for t in chosen if t is not TESTS[0]]:
                t0 = time.monotonic()
                signal.alarm(t.timeout)
                try:
                    t(suite)
                    status, why = "PASS", ""
                except (Failure, Timeout, wineenv.HarnessError) as e:
                    status, why = "FAIL", str(e)
                except Exception:
                    status, why = "FAIL", traceback.format_exc(limit=3)
                finally:
                    signal.alarm(0)
                passed += status == "PASS"
                failed += status == "FAIL"
                print(f"{status} {t.__name__} ({time.monotonic() - t0:.1f} s){': ' + why if why else ''}",
                      flush=True)
            suite.stop_all()
            if d.dpi != 96:
                d.set_dpi(96)  # the prefix may serve other runs after this one
    except Exception:
        traceback.print_exc()
        failed += 1
        print("FAIL harness: the Wine desktop could not be set up or torn down", flush=True)
    print(f"e2e run took {time.monotonic() - t_all:.0f} s; pictures in {OUT}")
    print(f"e2e: {passed} passed, {failed} failed", flush=True)
    return 1 if failed or not passed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
