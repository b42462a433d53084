"""End-to-end test of xpekko.exe under Wine (tests/e2e/run.sh [SCENARIO...]): starts at 96 and 192 dpi and from the
release archive on a headless Wine desktop (wineenv.py), then one on two monitors (monitors.py), seen from inside by
probe.exe, driven by xdotool. Each step prints PASS or FAIL; pictures for review go to out/e2e/ ($E2E_OUT)."""

import functools, json, os, re, shutil, subprocess, sys, time, traceback, zipfile  # noqa: E401
from pathlib import Path

from PIL import Image, ImageChops, ImageDraw, ImageMath

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
from wineenv import (BUILD, EXE, PROBE, ROOT, SCREEN_H, SCREEN_W, Desktop, HarnessError, kill,  # noqa: E402
                     log, until, winpath)
import monitors  # noqa: E402

OUT = Path(os.environ.get("E2E_OUT", ROOT / "out/e2e")).resolve()
SHEETS = {n: Image.open(ROOT / f"resources/{n}.gif").convert("RGB") for n in ("rPic1", "rPic2", "rPic3")}
MENU = ["遊びにやる", "-", "日付と時刻の調整", "音量の調節", "-", "駆け落ち率の設定", "ﾊﾞｰｼﾞｮﾝ情報", "-", "終了"]
RATE_ITEM, EXIT_ITEM, CELL = 5, 8, 64
# Left = Screen.Width / 2 - 32 twips, Top = Screen.Height / 2 - 32 twips on 1024 x 768 pixels: 7648 / 15 and
# 5728 / 15; at 192 dpi each of his pixels is 2 x 2 of the screen's, and 3808 / 15 and 2848 / 15 of those, rounded.
START = {96: (510, 382), 192: (508, 380)}
# With 6995 rer comes at the third tick and leaves at the 36th. Should the program draw its numbers differently,
# the visit step fails: pick a new seed.
SEED = 6995
CLOCK = re.compile(r"^\d{1,2}月\d{1,2}日\([日月火水木金土]\) \d{1,2}時\d{1,2}分 だよ$")


class Failure(AssertionError):
    pass


def check(cond, msg):
    if not cond:
        raise Failure(msg)


def save(im, name, scale=1):
    im.resize((im.width * scale, im.height * scale), Image.NEAREST).save(OUT / f"{name}.png")


def picture(run, r, name, margin=8, below=0, scale=1):  # the screen around a window's rectangle
    save(run.d.screenshot().crop((r["x"] - margin, r["y"] - margin, r["x"] + r["w"] + margin,
                                  r["y"] + r["h"] + margin + below)), name, scale)


class Run:
    """One start of the program; the desktop, tray and the probe's menu before it; a probe watch every 50 ms: per
    sample "wins" [ペッコ, rer] with "r", "visible", "shot"."""

    def __init__(self, d, dpi, seed, watch=True, exe=EXE, name=None):
        self.d, self.name, self.stored = d, name or f"dpi{dpi}", d.rate()
        self.s, self.dir = (dpi + 48) // 96, OUT / f"{self.name}-samples"  # s: screen pixels to one of the program's
        self.desktop = d.capture(0, 0, SCREEN_W, SCREEN_H, f"{self.name}-desktop-before")
        if d.shell:  # a taskbar
            bar = d.find("Shell_TrayWnd")[0]["rect"]
            self.tray = (SCREEN_W - 2 * bar["h"], bar["y"], 2 * bar["h"], bar["h"])  # where Wine puts the icons
            self.tray_empty = d.capture(*self.tray, f"{self.name}-tray-empty")
            self.menu = d.probe("refmenu", 300, 200, winpath(OUT / f"{self.name}-menu-reference.ppm"), *MENU)[1]
            self.menu["picture"] = Image.open(OUT / f"{self.name}-menu-reference.ppm").convert("RGB")
        shutil.rmtree(self.dir, ignore_errors=True)
        self.dir.mkdir()
        self.watch = watch and subprocess.Popen(d.wine(PROBE, "watch", 50, 120000, winpath(self.dir), "pekkoForm",
                                                       "rionForm"), env=d.env(), stdout=open(self.dir / "w", "wb"))
        until(lambda: not watch or (self.dir / "w").stat().st_size, 20, "probe watch")
        self.t0, self.app = time.monotonic(), d.start_app(seed and {"XPEKKO_RANDOM_SEED": str(seed)}, exe)
        self.pid = until(lambda: [w for w in d.find("pekkoForm") if w["visible"]], 20, "ペッコ shown")[0]["pid"]

    def samples(self):
        return [json.loads(line) for line in (self.dir / "w").read_bytes().splitlines()[1:] if line.endswith(b"]}")]

    def image(self, s, k):
        return Image.open(self.dir / f"{s['i']}-{k}.ppm").convert("RGB")

    @functools.cache
    def expected(self, sheet, k, x, y):
        """Cell k, each pixel s x s, over the desktop at (x, y): per channel image XOR (mask AND NOT background)."""
        im, h, s = SHEETS[sheet], SHEETS[sheet].height // 2, self.s
        parts = [im.crop((CELL * k, h * j, CELL * k + CELL, h * j + h)).resize((CELL * s, h * s), Image.NEAREST)
                 for j in (0, 1)] + [self.desktop.crop((x, y, x + CELL * s, y + h * s))]
        return Image.merge("RGB", [ImageMath.eval("convert(i ^ (m & (b ^ 255)), 'L')", i=i, m=m, b=b)
                                   for i, m, b in zip(*(p.split() for p in parts))])

    def cell(self, shot, sheets, x, y, hide):
        """The cell of `sheets` a capture at (x, y) shows outside the screen rectangles `hide`, or None."""
        for s in [s for s in sheets if shot.size == (CELL * self.s, SHEETS[s].height // 2 * self.s)]:
            for k in range(SHEETS[s].width // CELL):
                diff = ImageChops.difference(self.expected(s, k, x, y), shot)
                for r in hide:
                    diff.paste((0, 0, 0), (r["x"] - x, r["y"] - y, r["x"] + r["w"] - x, r["y"] + r["h"] - y))
                if not diff.getbbox():
                    return s, k

    def mine(self, cls, visible=True):
        return [w for w in self.d.find(cls) if w["pid"] == self.pid and (w["visible"] or not visible)]

    def icon(self):
        """What changed in the notification area since the start (screen coordinates), or None."""
        box = ImageChops.difference(self.d.capture(*self.tray, f"{self.name}-tray"), self.tray_empty).getbbox()
        return box and (self.tray[0] + box[0], self.tray[1] + box[1], self.tray[0] + box[2], self.tray[1] + box[3])


def first_frame(run, dpi):
    """ペッコ's first settled picture, before the first tick, is cell 0 of the walking sheet over the desktop."""
    def settled():
        smp = [s for s in run.samples() if s["wins"][0] and s["wins"][0]["visible"]]
        return next(((a, a["t"] - smp[0]["t"]) for a, b in zip(smp, smp[1:]) if a["wins"][0]["shot"] and
                     b["wins"][0]["shot"] and a["wins"][0]["r"] == b["wins"][0]["r"] and
                     run.image(a, 0).tobytes() == run.image(b, 0).tobytes()), None)
    s, after = until(settled, 5, "a settled first frame")
    x, y = START[dpi]
    got, want, r = run.image(s, 0), run.expected("rPic1", 0, x, y), s["wins"][0]["r"]
    save(got, f"{run.name}-first-frame", 4 // run.s)
    save(want, f"{run.name}-first-frame-expected", 4 // run.s)
    check(after < 450, f"the first settled picture came {after} ms after the window showed, after a tick")
    check((r["x"], r["y"], r["w"], r["h"]) == (x, y, CELL * run.s, CELL * run.s),
          f"ペッコ's client area is {r}, not {CELL * run.s} pixels square at {x}, {y}")
    diff = ImageChops.difference(got, want).point(lambda v: 255 if v else 0).convert("L").point(lambda v: v and 255)
    if diff.getbbox():  # red where they differ, grey elsewhere
        save(Image.composite(Image.new("RGB", got.size, "red"), Image.new("RGB", got.size, "grey"), diff),
             f"{run.name}-first-frame-diff", 4 // run.s)
        check(False, f"the first frame is not cell 0 over the desktop (see {run.name}-first-frame-diff.png)")


def window_and_taskbar(run, dpi):
    """No border, never activated, no taskbar button by Windows' rule (owned or tool window, no app window) or Wine's
    (which buttons every unowned window)."""
    mine = run.mine("*", visible=False)
    chars = {w["class"]: w for w in mine if w["class"] in ("pekkoForm", "rionForm")}
    check(len(chars) == 2, f"the program's windows: {[w['class'] for w in mine]}")
    for w in chars.values():
        check(w["rect"] == w["client"] and not w["caption"], f"{w['class']} has a border: {w}")
        check((w["owned"] or w["toolwindow"]) and not w["appwindow"] and w["noactivate"],
              f"{w['class']} has a taskbar button or is activated by a click: {w}")
    check(chars["pekkoForm"]["topmost"] and chars["pekkoForm"]["visible"], f"ペッコ's window: {chars['pekkoForm']}")
    ours = {w["hwnd"] for w in mine}
    shown = [k for k in run.d.find("Shell_TrayWnd", kids=True)[0]["kids"] if k["visible"] and k["id"] in ours]
    check(not shown, f"Wine's taskbar has buttons for the program's windows: {shown}")


def visit(run, dpi):
    """rer comes, chats and rides off alone (rate 0), at the same pixels of the program at every scale. Every settled
    capture of either window is a cell of its sheets over the desktop (but for a rare one under load)."""
    def rer():  # his place, right of the screen before he comes
        smp = run.samples()
        return (smp and smp[-1]["wins"][1] or {"r": {"x": SCREEN_W, "y": 0}})["r"]
    (px, py), z = START[dpi], run.s
    strip = Image.new("RGB", (3 * 304 * z, 176 * z), "white")
    for n, (label, seconds, done, pause) in enumerate((
            ("riding in", 15, lambda: 0 <= rer()["x"] < px + 150 * z, 0),
            ("chat", 20, lambda: rer()["y"] == py - 18 * z, 0.5),  # rer 18 pixels above ペッコ
            ("gone", 40, lambda: rer()["x"] <= -CELL * z, 0))):
        until(done, seconds, f"rer {label}")
        time.sleep(pause)
        strip.paste(run.d.screenshot().crop((px - 70 * z, py - 60 * z, px + 230 * z, py + 100 * z)),
                    (n * 304 * z, 16 * z))
        ImageDraw.Draw(strip).text((n * 304 * z + 2, 2), label, fill="black")
    strip.save(OUT / f"{run.name}-visit-strip.png")
    smp, bad, named, before = run.samples(), [], [0, 0], None
    shown = next(n for n, s in enumerate(smp) if s["wins"][0] and s["wins"][0]["visible"])
    check(all(s["wins"][0]["visible"] for s in smp[shown:]), "ペッコ was hidden at the rate 0")
    for s in smp:
        # Each window is compared outside the other's place: ペッコ's frames hold rer where he was up to two ride
        # steps (28 px) to the right, rer's hold ペッコ where he was a sample ago.
        p, r = s["wins"]
        pf = p and p["visible"] and dict(p["r"], w=CELL * z, h=CELL * z)
        rf = r and r["visible"] and dict(r["r"], w=(CELL + 28) * z, h=92 * z)
        for k, win, sheets, hide in ((0, p, ("rPic1", "rPic2"), [rf]), (1, r, ("rPic3",), [pf, before])):
            if win and win["shot"] and win["r"]["w"] == CELL * z and 0 <= win["r"]["x"] <= SCREEN_W - CELL * z:
                got = run.cell(run.image(s, k), sheets, win["r"]["x"], win["r"]["y"], [h for h in hide if h])
                named[k] += bool(got)
                bad += [] if got else [f"{run.name}-samples/{s['i']}-{k}.ppm"]
        before = pf
    log(f"visit: {named} captures of (ペッコ, rer) are cells, {len(bad)} not: {bad[:10]}")
    # A drawing waits a few ms for the desktop to repaint behind a window it took away;
    # under load a rare frame still holds the one before (seen: 3 in 770).
    check(len(bad) <= sum(named) / 20, f"{len(bad)} captures are no cell over the desktop: {bad[:10]}")
    check(named[1] >= 20, f"only {named[1]} captures of rer to compare")


def clock_box(run, dpi):
    """A click on ペッコ opens his box; while it is open neither character is topmost or over it; after OK both are
    topmost again (rer, no longer drawn, by the box's return)."""
    d, p = run.d, run.mine("pekkoForm")[0]["rect"]
    for _ in range(3):  # a click while a frame collapses his window falls through
        d.click(p["x"] + 16, p["y"] + 40)
        box = until(lambda: [b for b in d.find("ペッコ", kids=True) if b["visible"] and b["pid"] == run.pid], 2.5)
        if box:
            break
    d.park()
    check(box, "no box titled ペッコ after three clicks on him")
    texts = [k["text"] for k in box[0]["kids"] if k["class"] == "Static" and k["text"]]
    check(len(texts) == 1 and CLOCK.match(texts[0]), f"the box's text: {texts}")
    time.sleep(0.5)
    picture(run, b := box[0]["rect"], "clock-box", 20, below=70)
    ok = next(k["rect"] for k in box[0]["kids"] if k["class"] == "Button")
    try:
        for _ in range(8):
            below(run, box[0]["hwnd"], b)
            time.sleep(0.2)
    finally:
        d.click(ok["x"] + ok["w"] // 2, ok["y"] + ok["h"] // 2)
        d.park()
    until(lambda: all(w["topmost"] for w in run.mine("pekkoForm", False) + run.mine("rionForm", False)), 1.5,
          "both characters topmost again after OK")


def below(run, hwnd, b):  # the window hwnd at b
    ws = run.d.find("*")
    at = next((n for n, w in enumerate(ws) if w["hwnd"] == hwnd), None)
    check(at is not None, "the box or dialog closed by itself")
    for n, w in enumerate(ws):
        r = w["rect"]
        if w["class"] in ("pekkoForm", "rionForm") and w["pid"] == run.pid:
            check(not w["topmost"], f"{w['class']} is topmost while the box or dialog is open")
            check(n > at or not w["visible"] or r["x"] >= b["x"] + b["w"] or b["x"] >= r["x"] + r["w"]
                  or r["y"] >= b["y"] + b["h"] or b["y"] >= r["y"] + r["h"], f"{w['class']} lies over it")


def full_screen(run, dpi):
    """A captionless window over the whole screen in front hides ペッコ till it closes; one with a caption does not."""
    for caption in (1, 0):
        cover = subprocess.Popen(run.d.wine(PROBE, "cover", caption), env=run.d.env(), stdout=subprocess.PIPE)
        try:
            check(cover.stdout.readline().strip() == b"true", "the cover did not come to the front")
            hidden = until(lambda: not run.mine("pekkoForm"), 1.0 if caption else 1.5)
            check(hidden != bool(caption), "ペッコ hid behind a captioned window" if caption else
                  "ペッコ still shown a second after a full-screen window came")
            was = run.mine("pekkoForm", False)[0]["rect"]
        finally:
            kill(cover)
        back = until(lambda: run.mine("pekkoForm"), 1.5, "ペッコ back after the window closed")[0]["rect"]
        check(caption or back == was, f"ペッコ came back at {back}, not at {was}")


def drag(run, dpi):
    """A press on ペッコ, a few small moves, one of (±121, ±91) and a release: the pointer keeps the pixel of him it
    went down on (no move lost before the drag took hold), on a whole pixel of the program; a walk move of his
    after the release may add one step."""
    for attempt in (1, 2):  # a program starved of the CPU may walk him meanwhile
        p = run.mine("pekkoForm")[0]["rect"]
        x, y = p["x"] + 32, p["y"] + 32
        dx, dy = 121 if x < SCREEN_W // 2 else -121, 91 if y < SCREEN_H // 2 else -91
        run.d.xdotool("mousemove", x, y, "mousedown", 1,
                      *[a for j in (2, 4, 6) for a in ("mousemove", x + j, y + j, "sleep", 0.15)])
        for k in range(1, 5):
            run.d.xdotool("mousemove", x + 6 + dx * k // 4, y + 6 + dy * k // 4)
        run.d.xdotool("sleep", 0.1, "mouseup", 1)
        run.d.park()
        q = run.mine("pekkoForm")[0]["rect"]
        off = sorted((abs(q["x"] - p["x"] - dx - 6), abs(q["y"] - p["y"] - dy - 6)))
        if off[0] < run.s and off[1] <= 11 * run.s:  # snapping to whole pixels adds up to s - 1
            # Where the next frame's capture looks: on whole pixels of the program.
            return check(q["x"] % run.s == q["y"] % run.s == 0, f"ペッコ dragged to {q}, between pixels")
        log(f"drag {attempt}: by ({dx + 6}, {dy + 6}) from {p} to {q}")
    check(False, f"ペッコ dragged by ({dx + 6}, {dy + 6}) from {p} is at {q}")


def open_menu(run):
    icon = run.icon()
    check(icon, "no icon in the notification area")
    save(run.d.capture(*run.tray, f"{run.name}-tray"), f"{run.name}-tray-icon", 4)
    for _ in range(3):  # Wine's tray now and then drops a click soon after a menu closed
        run.d.click((icon[0] + icon[2]) // 2, (icon[1] + icon[3]) // 2)
        popup = until(lambda: run.mine("#32768"), 2.5)
        if popup:
            return popup[0]["rect"]
    check(False, f"no menu after three clicks on the icon at {icon}")


def choose(run, item, popup=None):
    popup, ref, it = popup or open_menu(run), run.menu["popup"], run.menu["items"][item]
    x = popup["x"] + (it["x"] - ref["x"] if it["x"] >= ref["x"] else it["x"]) + it["w"] // 2
    y = popup["y"] + (it["y"] - ref["y"] if it["y"] >= ref["y"] else it["y"]) + it["h"] // 2
    for _ in range(3):  # a menu opened right after another window closed may miss a click
        run.d.xdotool("mousemove", x, y, "sleep", 0.15, "click", 1)
        run.d.park()
        if until(lambda: not run.mine("#32768"), 1.0):
            return
    check(False, f"the menu stays open after three clicks on {MENU[item]}")


def menu_and_exit(run, dpi):
    """The icon's menu is the probe's of the same captions; at 96 dpi the rate dialog; 終了 ends the program."""
    popup = open_menu(run)
    run.d.xdotool("mousemove", 600, 100)  # the icon's tooltip goes
    time.sleep(0.8)
    picture(run, popup, f"{run.name}-menu")
    got = run.d.capture(popup["x"], popup["y"], popup["w"], popup["h"], f"{run.name}-menu")
    check(got.tobytes() == run.menu["picture"].tobytes(), f"the menu {popup} is not the probe's of the same "
          f"captions {run.menu['popup']} (see {run.name}-menu.png and -menu-reference.ppm)")
    ended(run, rate_dialog(run, popup) if dpi == 96 else choose(run, EXIT_ITEM, popup) or run.stored[1])


def ended(run, rate):  # after 終了
    check(until(lambda: run.app.poll() is not None, 5), "xpekko.exe still runs 5 s after 終了")
    check(until(lambda: not run.d.find("pekkoForm"), 3), "ペッコ's window is still there")
    check(until(lambda: not run.icon(), 3, every=0.2), "the icon is still in the notification area")
    check(run.d.rate() == ("REG_SZ", rate), f"the stored rate after 終了 is {run.d.rate()}, not {rate}")


def dialog(run, shown=True):
    """The rate dialog, once it is shown (or hidden): (its box's text, OK enabled, its place)."""
    st = until(lambda: [w for w in run.d.find("menuForm", kids=True) if w["visible"] == shown], 3,
               f"the dialog {'shown' if shown else 'hidden'}")[0]
    kids = {k["class"]: k for k in st["kids"]}
    return kids["Edit"]["text"], kids["Button"]["enabled"], st["rect"]


def rate_dialog(run, popup):
    """Shows the stored rate; "abc" disables OK; 13.5 enables it, Enter stores "14"; 77 left open at 終了 is not."""
    def type_rate(text):
        run.d.xdotool("key", "Home", "shift+End", "type", "--", text)
        return until(lambda: (st := dialog(run))[0] == text and st, 3, f"the box reading {text!r}")
    choose(run, RATE_ITEM, popup)
    text, ok, r = dialog(run)
    check((text, ok) == ("0", True), f"the dialog opened with {text!r}, OK enabled {ok}, not the stored 0")
    time.sleep(0.3)
    below(run, run.d.find("menuForm")[0]["hwnd"], r)  # he stands where it opens
    picture(run, r, "dialog", 40, scale=2)
    check(not type_rate("abc")[1], "OK is enabled for abc")
    check(type_rate("13.5")[1], "OK is disabled for 13.5")
    run.d.xdotool("key", "Return")
    dialog(run, shown=False)
    until(lambda: run.mine("pekkoForm")[0]["topmost"], 1.5, "ペッコ topmost again after the dialog")
    check(run.d.rate() == ("REG_SZ", "14"), f"13.5 stored as {run.d.rate()}, not the text 14")
    choose(run, RATE_ITEM)
    check(dialog(run)[0] == "14", f"the dialog opened again with {dialog(run)[0]!r}, not 14")
    type_rate("77")
    choose(run, EXIT_ITEM)
    return "14"


def unpacked():
    """The release archive (scripts/dist.sh) unpacked into a fresh folder: the program this host's Wine runs."""
    zips = list((ROOT / "out/dist").glob("xpekko-*.zip"))
    check(len(zips) == 1, f"release archives in out/dist: {zips}")
    names = sorted(zipfile.ZipFile(zips[0]).namelist())
    check(names == ["LICENSE", "README.txt", "THIRD-PARTY-NOTICES.txt", "xpekko.exe", "xpekko64.exe"],
          f"{zips[0].name} holds {names}")
    shutil.rmtree(OUT / "archive", ignore_errors=True)
    zipfile.ZipFile(zips[0]).extractall(OUT / "archive")
    return OUT / "archive" / ("xpekko.exe" if BUILD.name == "win32" else "xpekko64.exe")


def exits(run, dpi):
    ended(run, choose(run, EXIT_ITEM) or run.stored[1])


# (name, dpi, seed, the program, its steps); a step raises Failure or returns the problems it saw
SCENARIOS = [("dpi96", 96, SEED, lambda: EXE, [first_frame, window_and_taskbar, visit, clock_box, full_screen, drag,
                                                menu_and_exit]),
             ("dpi192", 192, SEED, lambda: EXE, [first_frame, window_and_taskbar, visit, drag, menu_and_exit]),
             ("archive", 96, SEED, unpacked, [first_frame, exits]),
             ("monitors", 96, monitors.SEED, lambda: EXE, [monitors.layout, monitors.drag, monitors.visit])]


def main(only):
    OUT.mkdir(parents=True, exist_ok=True)
    [old.unlink() for old in list(OUT.glob("*.png")) + list(OUT.glob("*.ppm"))]
    passed, failed, t_all = 0, 0, time.monotonic()
    try:
        with Desktop(OUT) as d:
            for name, dpi, seed, program, steps in [s for s in SCENARIOS if s[0] in only or not only]:
                if dpi != d.dpi:
                    d.set_dpi(dpi)
                if name == "monitors":
                    d.two_monitors()
                d.rate("0")  # ペッコ stays when rer leaves
                try:
                    run = Run(d, dpi, seed, exe=program(), name=name)
                except Failure as e:
                    failed += 1
                    print(f"FAIL {name}: {e}", flush=True)
                    continue
                d.screenshot().save(OUT / f"{name}-desktop.png")
                for step in steps:
                    t0 = time.monotonic()
                    try:
                        why = "; ".join(step(run, dpi) or ())
                    except Exception as e:
                        why = str(e) if isinstance(e, (Failure, HarnessError)) else traceback.format_exc(limit=3)
                    passed, failed = passed + (not why), failed + bool(why)
                    print(f"{'FAIL' if why else 'PASS'} {name}_{step.__name__} ({time.monotonic() - t0:.1f} s)"
                          f"{': ' + why if why else ''}", flush=True)
                kill(run.app)
                kill(run.watch)
    except Exception:
        traceback.print_exc()
        failed += 1
        print("FAIL harness: the Wine desktop could not be set up or torn down", flush=True)
    print(f"e2e run took {time.monotonic() - t_all:.0f} s; pictures in {OUT}; probe reruns: {Desktop.retries}")
    print(f"e2e: {passed} passed, {failed} failed", flush=True)
    return 1 if failed or not passed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
