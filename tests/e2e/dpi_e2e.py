"""End-to-end tests of the program on a screen of 192 and of 144 dpi, that is
7.5 and 10 twips per pixel instead of 15.

The desktop stays 1024 x 768 pixels; the prefix's LogPixels changes and the
Wine desktop restarts (Desktop.set_dpi). Each dpi has one start of the
program ("dpi192", "dpi144") shared by its four tests: the start-up place and
first frame, the walk, the tray menu and 終了, which ends it. Imported by
run_e2e.py after live_e2e.py: these come last, and the runner puts the
desktop back to 96 dpi after them.
"""

import time

from live_e2e import (EXIT_ITEM, Watch, check_menu_as_reference, check_moves, choose, close_menu, live,
                      open_menu_by_click, positions, start_twips, to_pixels)
from run_e2e import CELL, check, check_cell_picture, expect_eq, test
from wineenv import log

DPIS = (192, 144)
WALK_FIRST_SEED = 7


def at_dpi(s, dpi):
    """The start called dpi<N> on a desktop of that dpi; the desktop restarts
    and the program starts when they are not so already."""
    if s.d.dpi != dpi:
        s.stop_all()
        s.live = None
        s.d.set_dpi(dpi)
    # With this seed the first tick starts a walk (the start is far from every
    # edge, so the dpi does not change the course): the walk test needs no
    # luck to see one within its time.
    return live(s, f"dpi{dpi}", seed=WALK_FIRST_SEED)


def start_place_size_and_first_frame(s, dpi):
    lv = at_dpi(s, dpi)
    tpp = 1440 / dpi
    left, top = start_twips(tpp)
    x, y = to_pixels(left, tpp), to_pixels(top, tpp)
    c = lv.run.snap["window"]["client"]
    expect_eq((c["x"], c["y"]), (x, y), f"client origin for ({left:g}, {top:g}) twips at {tpp:g} twips per pixel")
    expect_eq((c["w"], c["h"]), (CELL, CELL), "client size in pixels")
    check_cell_picture(lv.run.frame, lv.cells.expected("rPic1", 0, x, y).tobytes(), f"{lv.name}-first-frame",
                       "first frame against rPic1 cell 0 over the desktop")


def walks_in_whole_160_twip_moves(s, dpi):
    lv = at_dpi(s, dpi)
    tpp = 1440 / dpi
    w = Watch(s.d, lv.cells, f"{lv.name}-walk", interval=100, duration=110000)
    try:
        # A walk comes within 30 s most of the time, but a waving hand or a
        # squat lasts as long as its draws say, now and then over a minute;
        # a second more after the first move sees more of the walk.
        while w.now() < 100 and len(positions(w.snapshot())) < 2:
            time.sleep(0.25)
        time.sleep(1.5)
    finally:
        smp = w.stop()
    found = [x for x in smp if x.get("found")]
    check(found, "no samples of pekkoForm")
    # A frame drawing collapses the window for a moment; any other size is wrong.
    sizes = {(x["w"], x["h"]) for x in found}
    check(all(sz == (CELL, CELL) or 0 in sz for sz in sizes), f"pekkoForm had the sizes {sorted(sizes)}")
    moves = check_moves(smp, start_twips(tpp), f"{dpi} dpi", tpp)
    log(f"{dpi} dpi: {len(moves)} moves in {found[-1]['t'] / 1000:.0f} s, places "
        f"{[(p[0], p[1]) for p in positions(smp)][:8]}")
    check(moves, f"no walk move in {found[-1]['t'] / 1000:.0f} s (cells seen: "
          f"{sorted({x['cell'] for x in found if x.get('cell')})})")


def tray_click_opens_nine_item_menu(s, dpi):
    at_dpi(s, dpi)
    popup, (px, py) = open_menu_by_click(s)
    try:
        check_menu_as_reference(s, popup, px, py)
    finally:
        close_menu(s)


def exit_item_ends_program_and_removes_icon(s, dpi):
    at_dpi(s, dpi)
    choose(s, EXIT_ITEM)


def register(dpi):
    for fn, timeout in ((start_place_size_and_first_frame, 60), (walks_in_whole_160_twip_moves, 130),
                        (tray_click_opens_nine_item_menu, 60), (exit_item_ends_program_and_removes_icon, 60)):
        def at(s, fn=fn):
            fn(s, dpi)
        at.__name__ = f"dpi{dpi}_{fn.__name__}"
        test(timeout=timeout)(at)


for _dpi in DPIS:
    register(_dpi)
