"""End-to-end tests of rer: his visit, the elopement, and sending ペッコ out
and calling him back from the tray menu.

The visits start the program with XPEKKO_RANDOM_SEED=6995, with which rer
comes at the third tick and the chat lasts about 26 ticks on this desktop;
one start stores the elopement rate 0, one 100. A Watch samples both windows
every 50 ms from before the start. Imported by run_e2e.py after live_e2e.py
(whose send-out test uses call_back below).
"""

import re
import time
from pathlib import Path

from PIL import Image

from live_e2e import (CALL_BACK, SEND_OUT, SEND_OUT_ITEM, SHEETS, TPP, Strip, character_box,
                      check_menu_as_reference, choose, close_menu, drag, f32, hover_tip, live, open_menu_by_click,
                      pekko, start_twips, to_pixels, visiting)
from run_e2e import CELL, check, expect_eq, test
from wineenv import SCREEN_H, SCREEN_W, log

SEED = 6995
RIDE = 200  # twips per ride step
SCREEN_TW = (SCREEN_W * TPP, SCREEN_H * TPP)
# Where he starts at 96 dpi, in twips and in pixels: the visits come to him there.
LEFT, TOP = start_twips()
PX, PY = to_pixels(LEFT), to_pixels(TOP)
MEMORY_RE = re.compile(r"^リソースの残りは(\d+)% だぜ！$")


def ride_end(left, bound):
    """Where a ride that starts at `left` twips stops: the first step at or past `bound`."""
    while bound < left:
        left = f32(left - RIDE)
    return left


def meminfo_percent():
    """The free share as Wine reports it from /proc/meminfo: physical memory is
    MemTotal with MemAvailable free, the page file RAM plus swap."""
    kb = {k: int(v.split()[0]) for k, v in (line.split(":", 1) for line in Path("/proc/meminfo").read_text().splitlines())}
    avail = 2 * kb["MemAvailable"] + kb["SwapFree"]
    total = 2 * kb["MemTotal"] + kb["SwapTotal"]
    return avail * 100 // total


def unnamed(samples, boxes=()):
    """Settled captures of either window that are no cell of its sheets
    over the desktop, as (sample, 0 for ペッコ or 1 for rer); left out: those
    taken while a message box or tooltip was up or in the tick after (ペッコ's
    frames drawn meanwhile have the box behind him)."""
    return [(x["i"], k) for x in samples for k, w in enumerate((x, x["rer"])) if w.get("shot") and not w["cell"]
            and not any(a <= x["t"] / 1000 <= b + 0.6 for a, b in boxes)]


def check_all_cells(s, w, samples, what):
    """Every settled capture in `samples` is a cell; the first few that are
    not are saved side by side as {what}-not-cells.png (3x)."""
    bad = unnamed(samples, w.boxes)
    if bad:
        ims = [Image.open(w.dir / f"{i}-{k}.ppm").convert("RGB") for i, k in bad[:8]]
        strip = Strip(s, f"{what}-not-cells")
        strip.shots, strip.labels = ims, [f"{i}-{k}" for i, k in bad[:8]]
        strip.save(scale=3)
    check(not bad, f"{what}: {len(bad)} captures (sample-window) are no cell of their sheet over the desktop: "
          f"{bad[:12]} (see {what}-not-cells.png, {w.dir.name})")


def since(w, t):
    return [x for x in w.snapshot() if x["t"] / 1000 >= t]


def resumed(samples):
    """Whether ペッコ showed more than one cell, or moved, in these samples."""
    shown = [x for x in samples if x.get("found") and x["visible"]]
    return len({x["cell"] for x in shown if x["shot"]}) > 1 or len({(x["x"], x["y"]) for x in shown}) > 1


def call_back(s, w, strip):
    """Chooses 呼び戻す and checks the call back: rer rides in from the right
    edge carrying ペッコ (every capture rPic3 cell 10 over the desktop),
    stops at the centre, ペッコ reappears where he was as walking cell 6,
    rer rides off left alone and stays beyond the edge, ペッコ's behaviour
    resumes and the menu reads 遊びにやる again."""
    home = pekko(s)["rect"]
    rer_h = s.d.windows("rionForm")[0]["rect"]["h"]
    popup, (px, py) = open_menu_by_click(s)
    check_menu_as_reference(s, popup, px, py, CALL_BACK)
    t0 = w.now()
    choose(s, SEND_OUT_ITEM, popup)  # the first item, which reads 呼び戻す now
    top = to_pixels(f32(SCREEN_TW[1] / 2 - f32(rer_h * TPP) / 2))
    stop = ride_end(SCREEN_TW[0], SCREEN_TW[0] / 2 - CELL * TPP / 2)
    gone = ride_end(stop, -CELL * TPP)
    end = time.monotonic() + 20
    while time.monotonic() < end:
        smp = since(w, t0)
        r = smp[-1]["rer"] if smp else {}
        if r.get("visible") and r["x"] == to_pixels(gone):
            break
        if r.get("visible") and len(strip.shots) < 14:
            strip.add(f"{r['x']}", r["x"], r["y"] + 14)
        time.sleep(0.15)
    smp = since(w, t0)
    ride_in = [x for x in smp if x["rer"].get("visible") and x["rer"]["x"] > -CELL and not x.get("visible")]
    check(ride_in, "rer did not come while ペッコ was away")
    rin = [x["rer"] for x in ride_in]
    check(rin[0]["x"] > SCREEN_W - 3 * 14, f"rer first seen at x {rin[0]['x']}, not at the right edge")
    expect_eq({r["y"] for r in rin}, {top}, f"rer's top while he rides in (his height {rer_h} px)")
    # (Captures that are no cell at all are told by check_all_cells, last.)
    expect_eq({r["cell"] for r in rin if r.get("shot")} - {None}, {("rPic3", 10)}, "rer's frames while he rides in")
    back = next((k for k, x in enumerate(smp) if x.get("visible")), None)
    check(back is not None, "ペッコ did not reappear")
    # He turns at the centre: no place beyond it before ペッコ is back, and
    # none short of it when ペッコ is.
    check(min(r["x"] for r in rin) >= to_pixels(stop) >= smp[back]["rer"]["x"],
          f"rer rode in to {min(r['x'] for r in rin)} px and was at {smp[back]['rer']['x']} px when ペッコ came back, "
          f"not turning at the centre ({to_pixels(stop)} px)")
    expect_eq((smp[back]["x"], smp[back]["y"]), (home["x"], home["y"]), "ペッコ's place when he reappears")
    first = next((x["cell"] for x in smp[back:] if x.get("shot")), None)
    expect_eq(first, ("rPic1", 6), "ペッコ's first frame back")
    off = [x["rer"] for x in smp[back:] if x["rer"].get("visible") and x["rer"]["x"] < to_pixels(stop)]
    check(off and off[-1]["x"] == to_pixels(gone), f"rer did not ride off to {to_pixels(gone)} px: {off[-1:]}")
    expect_eq({r["cell"] for r in off if r.get("shot")} - {None}, {("rPic3", 0)}, "rer's frames riding off")
    strip.add("off", 0, off[-1]["y"] + 14)
    strip.save()
    t1 = w.now()
    time.sleep(1.0)
    w.wait(lambda smp: resumed([x for x in smp if x["t"] / 1000 > t1]), 30, "ペッコ showing another cell or moving after the call back")
    check(visiting(w.snapshot()[-1]) is False and w.snapshot()[-1]["rer"]["visible"], "rer not left beyond the edge")
    log(f"call back: rer rode in at top {top} in {len(rin)} samples, stopped at {to_pixels(stop)}, "
        f"ペッコ back at ({home['x']}, {home['y']}), rer off at {to_pixels(gone)}")
    popup, (px, py) = open_menu_by_click(s)
    try:
        check_menu_as_reference(s, popup, px, py, SEND_OUT)
    finally:
        close_menu(s)


def visit(s, rate):
    """The seeded start with the stored rate; its Watch."""
    lv = live(s, f"visit{rate}", rate=str(rate), seed=SEED, watch=f"visit{rate}")
    return lv, lv.watch


def check_arrival_and_chat(smp, what):
    """From the samples of a visit: rer rode in from the right edge 12 px
    above ペッコ, stopped 80 px right of him or just past, walked up in four
    160-twip steps, rose 6 px, and while they chat every frame of either is a
    cell of the chat. Returns the samples of the chat."""
    seen = [x for x in smp if x["rer"].get("visible") and x["rer"]["x"] < SCREEN_W]
    check(seen, f"{what}: rer never came")
    expect_eq({(x["x"], x["y"]) for x in seen[:5]}, {(PX, PY)}, f"{what}: ペッコ's place when rer came")
    check(seen[0]["rer"]["x"] > SCREEN_W - 3 * 14, f"{what}: rer first seen at {seen[0]['rer']['x']}, not at the edge")
    arrival = [x["rer"] for x in seen if x["rer"]["y"] == PY - 12]
    stop = ride_end(SCREEN_TW[0], LEFT + 80 * TPP)
    walk_up = [to_pixels(LEFT + 1200 - 160 * j) for j in range(1, 5)]
    xs = []
    for r in arrival:
        if not xs or xs[-1] != r["x"]:
            xs.append(r["x"])
    k = xs.index(to_pixels(stop)) if to_pixels(stop) in xs else None
    check(k is not None, f"{what}: rer did not stop at {to_pixels(stop)} px (80 px right of ペッコ): {xs}")
    check(all(to_pixels(SCREEN_TW[0] - RIDE * round((SCREEN_TW[0] - x * TPP) / RIDE)) == x for x in xs[:k]),
          f"{what}: rer's places riding in are not 200-twip steps from the right edge: {xs[:k]}")
    # Every place seen walking up is one of the four, in order, the last
    # one among them (a stalled watch may miss one of 250 ms).
    up = [x for x in xs[k + 1:] if x != to_pixels(LEFT + 1200)]
    check(up and up[-1] == walk_up[-1] and all(a in walk_up and b in walk_up and walk_up.index(a) < walk_up.index(b)
                                               for a, b in zip(up, up[1:])),
          f"{what}: rer's places walking up {up}, not the four 160-twip steps {walk_up} in order")
    chat = [x for x in seen if x["rer"]["y"] == PY - 18]
    check(chat, f"{what}: no chat (rer 18 px above ペッコ)")
    expect_eq({x["rer"]["x"] for x in chat}, {walk_up[-1]}, f"{what}: rer's left while they chat")
    pc = {x["cell"] for x in chat if x.get("shot")} - {None}
    rc = {x["rer"]["cell"] for x in chat if x["rer"].get("shot")} - {None}
    check(pc <= {("rPic2", n) for n in (2, 8, 9, 10)} and pc, f"{what}: ペッコ's frames in the chat {sorted(pc)}")
    check(rc <= {("rPic3", n) for n in (4, 5, 6, 7)} and rc, f"{what}: rer's frames in the chat {sorted(rc)}")
    log(f"{what}: rer stopped at {to_pixels(stop)}, walked up {walk_up}, chat in {len(chat)} samples "
        f"({sum(x['hidden_part'] for x in chat)} with the windows over each other), cells {sorted(pc | rc)}")
    return chat


def feet(sheet_path, cells):
    """The lowest row of the figure (mask not white) in each cell."""
    im = Image.open(sheet_path).convert("L")
    h = im.height // 2
    rows = {}
    for n in cells:
        mask = im.crop((CELL * n, h, CELL * n + CELL, 2 * h))
        rows[n] = max(y for y in range(h) if any(mask.getpixel((x, y)) < 255 for x in range(CELL)))
    return rows


@test(timeout=150)
def visit_rate_0_rer_comes_chats_and_leaves_alone(s):
    lv, w = visit(s, 0)
    strip = Strip(s, "visit-strip")
    try:
        smp = w.wait(lambda smp: smp and smp[-1]["rer"].get("visible") and smp[-1]["rer"]["x"] < SCREEN_W - 100, 15,
                     "rer riding in")
        strip.add("arrival", smp[-1]["rer"]["x"] - 40, PY)
        expect_eq(smp[-1]["rer"]["y"], PY - 12, "rer's top riding in (12 px above ペッコ's)")
        smp = w.wait(lambda smp: smp and smp[-1]["rer"].get("y") == PY - 18, 20, "the chat")
        time.sleep(0.6)
        strip.add("chat", PX + 20, PY)
        r = smp[-1]["rer"]
        # A drag on ペッコ during the visit: refused, he stays.
        x0, y0, drop, _ = drag(s, w)
        expect_eq(drop, (x0, y0), "ペッコ's place after a drag during the visit")
        # Hover over rer (right of ペッコ's window): his tooltip tells the free memory.
        at, t_box = (r["x"] + 50, r["y"] + 46), w.now()
        tip, expected = hover_tip(s, at), meminfo_percent()
        m = MEMORY_RE.match(tip or "")
        check(m and abs(int(m[1]) - expected) <= 1, f"rer's tip {tip!r}, /proc/meminfo gives {expected} %")
        text, _ = character_box(s, "rer", at, hold=1.0, shot="visit-rer-box")
        # ペッコ's clock box during the visit: it lies over both of them.
        character_box(s, "ペッコ", (PX + 16, PY + 40), hold=1.0, shot="visit-clock-box")
        w.boxes.append((t_box, w.now()))
        m = MEMORY_RE.match(text)
        check(m and abs(int(m[1]) - expected) <= 1, f"rer's box says {text!r}, /proc/meminfo gives {expected} %")
        chat_end = w.now()
        gone = to_pixels(ride_end(f32(LEFT + 560), -CELL * TPP))
        smp = w.wait(lambda smp: smp[-1]["rer"]["x"] <= gone, 40, "rer gone beyond the left edge")
        strip.add("gone", PX, PY)
        t_gone = w.now()
        w.wait(lambda smp: resumed([x for x in smp if x["t"] / 1000 > t_gone + 0.3]), 30, "ペッコ going on after the visit")
    finally:
        smp = w.stop()
        strip.save()
    check_arrival_and_chat(smp, "rate 0")
    farewell = [x for x in smp if x["t"] / 1000 > chat_end and x["rer"].get("visible") and x["rer"]["y"] != PY - 18]
    expect_eq({x["rer"]["y"] for x in farewell}, {PY + 14}, "rer's top riding off (14 px below ペッコ's)")
    expect_eq(farewell[-1]["rer"]["x"], gone, "rer's left after riding off")
    shown = next(k for k, x in enumerate(smp) if x.get("visible"))
    check(all(x["visible"] for x in smp[shown:]), "ペッコ was hidden at the rate 0")
    fp, fr = feet(SHEETS["rPic2"], (2, 8, 9, 10)), feet(SHEETS["rPic3"], (4, 5, 6, 7))
    log(f"feet in the chat: ペッコ's lowest rows {sorted({PY + v for v in fp.values()})}, "
        f"rer's {sorted({PY - 18 + v for v in fr.values()})} (screen rows)")
    check_all_cells(s, w, smp, "visit0")


@test(timeout=150)
def visit_rate_100_they_leave_together_and_he_is_called_back(s):
    lv, w = visit(s, 100)
    strip = Strip(s, "elopement-strip")
    try:
        w.wait(lambda smp: smp and smp[-1]["rer"].get("y") == PY - 18, 20, "the chat")
        strip.add("chat", PX + 20, PY)
        smp = w.wait(lambda smp: smp[-1]["rer"].get("y") == PY + 14, 30, "the farewell")
        strip.add("farewell", PX, PY)
        w.wait(lambda smp: not smp[-1]["visible"], 20, "ペッコ leaving")
        strip.add("together", PX - 60, PY + 20)
        gone = to_pixels(ride_end(f32(LEFT + 560) - 10 * RIDE, -CELL * TPP))
        smp = w.wait(lambda smp: smp[-1]["rer"]["x"] <= -CELL, 20, "both beyond the left edge")
        strip.save()
        here = smp[-1]
        t0 = w.now()
        time.sleep(10)
        still = since(w, t0)
        expect_eq({(x["visible"], x["rer"]["x"], x["rer"]["y"], x["rer"]["w"], x["rer"]["visible"]) for x in still},
                  {(False, here["rer"]["x"], here["rer"]["y"], CELL, True)},
                  "ペッコ hidden and rer shown beyond the left edge, unmoved, for 10 s")
        hidden = pekko(s)["rect"]
        expect_eq((hidden["x"], hidden["y"]), (to_pixels(LEFT - 640), to_pixels(TOP + 400)),
                  "ペッコ's place when he left (640 twips left, 400 down)")
        together = [x["rer"]["cell"] for x in smp if x.get("found") and not x["visible"] and x["rer"].get("shot")]
        expect_eq(set(together) - {None}, {("rPic3", 10)}, "rer's frames riding off with ペッコ")
        call_back(s, w, Strip(s, "elopement-call-back-strip"))
    finally:
        smp = w.stop()
    check_arrival_and_chat(smp, "rate 100")
    check_all_cells(s, w, smp, "visit100")
    log(f"rate 100: both left at {here['rer']['x']} (expected about {gone}), ペッコ at ({hidden['x']}, {hidden['y']})")
