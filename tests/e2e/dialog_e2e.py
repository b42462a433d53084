"""End-to-end tests of the elopement-rate dialog (menuForm shown by the tray
menu's 駆け落ち率の設定) and of the stored rate the program starts with.

Imported by run_e2e.py after the live and visit tests. The tests share one
state ("dialog", s.dialog_live): the desktop and the tray as they were before
its first start, then one start of the program after another, each ended
through its own menu (終了), so that nothing but the program writes the
setting and a write at the end would show. Input is real (xdotool): the
click on the tray icon and the menu item, typing into the focused box,
Enter and Esc. The setting is read with `wine reg query`.
"""

import time

from live_e2e import EXIT_ITEM, RATE_ITEM, SEND_OUT_ITEM, choose, live, save_region, to_pixels
from run_e2e import MENU_TITLE, check, expect_eq, test
from wineenv import SCREEN_H, SCREEN_W

KEEP = object()  # start_with: leave the stored setting as it is
# The controls in Tab order: class, text (None: the rate), place in twips.
CONTROLS = [("Static", "rerと駆け落ちする確率", (120, 0, 1950, 180)), ("Edit", None, (840, 240, 495, 270)),
            ("Static", "%", (1440, 240, 90, 180)), ("Button", "OK", (120, 600, 1935, 255))]
CLIENT_TWIPS = (2175, 975)


# ------------------------------------------------------------------ the program and its dialog

def start_with(s, value=KEEP):
    """Starts the program anew with `value` stored (see Desktop.reg_put); on the first
    call the dialog tests' state is made (Live: desktop, tray and reference
    menus read before a start) with the rate 10. Its .stored: the setting
    read just before the start."""
    lv = getattr(s, "dialog_live", None)
    if lv is None:
        lv = s.dialog_live = live(s, "dialog", rate="10", seed=None)
        if value is KEEP:
            return lv
    s.stop_all()
    if value is not KEEP:
        s.d.reg_put(value)
    lv.stored = s.d.reg_rate()  # as the program finds it
    lv.run = s.run(lv.name)
    lv.pid = lv.run.snap["window"]["pid"]
    s.live = lv
    return lv


def dialog(s):
    """The probe's state of menuForm: place, styles, focus, the controls in Tab order."""
    return s.d.probe("state", "menuForm")[1]


def control(st, cls):
    return next(c for c in st["children"] if c["class"] == cls)


def wait_dialog(s, cond, what, timeout=3.0):
    end = time.monotonic() + timeout
    while True:
        st = dialog(s)
        if cond(st):
            return st
        check(time.monotonic() < end, f"not within {timeout:.0f} s: {what} (dialog: visible {st['visible']}, "
              f"texts {[c['text'] for c in st['children']]}, OK enabled {control(st, 'Button')['enabled']})")
        time.sleep(0.05)


def open_dialog(s):
    """Opens the dialog as a user does: a click on the tray icon, then on 駆け落ち率の設定."""
    choose(s, RATE_ITEM)
    return wait_dialog(s, lambda st: st["visible"], "the dialog shown after 駆け落ち率の設定")


def type_into(s, text, *keys):
    """Presses `keys` (xdotool names), types `text` and waits until the box ends with it."""
    if keys:
        s.d.xdotool("key", *keys)
    s.d.xdotool("type", "--", text)
    return wait_dialog(s, lambda st: control(st, "Edit")["text"].endswith(text), f"the box reads {text!r}")


def press(s, key, shown):
    s.d.xdotool("key", key)
    return wait_dialog(s, lambda st: st["visible"] == shown, f"the dialog {'shown' if shown else 'hidden'} after {key}")


# ------------------------------------------------------------------ tests

@test
def dialog_opens_from_tray_menu_as_laid_out(s):
    start_with(s)
    # Sent out to play first, so that he stands in no picture of the dialog.
    choose(s, SEND_OUT_ITEM)
    s.d.probe("wait", "pekkoForm", "3000", "hidden")
    st = open_dialog(s)
    expect_eq(st["title"], MENU_TITLE, "title")
    expect_eq(st["pid"], s.live.pid, "process of the dialog")
    check(not st["menu"], "the dialog has a menu bar")
    check(not (st["sysmenu"] or st["minbox"] or st["maxbox"] or st["sizing"]),
          f"close/min/max box or a sizing border: {st}")
    c, r = st["client"], st["rect"]
    expect_eq((c["w"], c["h"]), tuple(to_pixels(v) for v in CLIENT_TWIPS), "client size (2175 x 975 twips)")
    check(abs(r["x"] - (SCREEN_W - r["w"]) / 2) <= 1 and abs(r["y"] - (SCREEN_H - r["h"]) / 2) <= 1,
          f"the dialog {r} is not centred on the {SCREEN_W} x {SCREEN_H} screen")
    got = [(k["class"], k["text"], tuple(k["rect"][a] for a in "xywh")) for k in st["children"]]
    want = [(cls, "10" if text is None else text, tuple(to_pixels(v) for v in tw)) for cls, text, tw in CONTROLS]
    expect_eq(got, want, "controls in Tab order: class, text, place in client pixels")
    ok = control(st, "Button")["rect"]
    check(ok["x"] >= 0 and ok["y"] >= 0 and ok["x"] + ok["w"] <= c["w"] and ok["y"] + ok["h"] <= c["h"],
          f"OK {ok} is not wholly inside the client area {c['w']} x {c['h']}")
    box = control(st, "Edit")
    expect_eq(st["focus"], box["hwnd"], "the control with the focus (the box's handle)")
    expect_eq(box["sel"], [0, 2], "selection in the box")
    check(control(st, "Button")["enabled"], "OK is disabled for 10")
    time.sleep(0.3)
    save_region(s.d, r, "dialog-box", scale=3)


@test
def dialog_typing_enables_ok_only_for_a_rate(s):
    start_with(s)
    if not dialog(s)["visible"]:
        open_dialog(s)
    st = type_into(s, "abc")
    expect_eq(control(st, "Edit")["text"], "abc", "the box after typing over the selected rate")
    check(not control(st, "Button")["enabled"], "OK is enabled for 'abc'")
    s.d.xdotool("key", "Return")
    time.sleep(0.5)
    check(dialog(s)["visible"], "Enter hid the dialog while OK was disabled")
    expect_eq(s.d.reg_rate(), ("REG_SZ", "10"), "the setting after Enter on 'abc'")
    st = type_into(s, "25", "Home", "shift+End")
    expect_eq(control(st, "Edit")["text"], "25", "the box")
    check(control(st, "Button")["enabled"], "OK is disabled for '25'")
    press(s, "Return", False)
    expect_eq(s.d.reg_rate(), ("REG_SZ", "25"), "the setting after Enter on '25'")


@test
def dialog_after_restart_shows_saved_rate_and_esc_writes_nothing(s):
    start_with(s)
    st = open_dialog(s)
    expect_eq(control(st, "Edit")["text"], "25", "the box after a restart (the rate saved by OK)")
    type_into(s, "77")
    press(s, "Escape", False)
    expect_eq(s.d.reg_rate(), ("REG_SZ", "25"), "the setting after Esc on '77'")
    st = open_dialog(s)
    expect_eq(control(st, "Edit")["text"], "25", "the box after Esc (the rate in force is unchanged)")


@test
def dialog_exit_while_open_writes_nothing(s):
    start_with(s)
    if not dialog(s)["visible"]:
        open_dialog(s)
    type_into(s, "88", "Home", "shift+End")
    choose(s, EXIT_ITEM)
    expect_eq(s.d.reg_rate(), ("REG_SZ", "25"), "the setting after 終了 with '88' in the open dialog")


# Every kind of stored setting: the program starts, the dialog shows the
# rate it got, and after Esc and 終了 the setting is what it was. "2e1"
# tells an exponent refused from one read (20); "1e9" is out of range both ways.
STORED = {"missing": (None, "10"), "25": ("25", "25"), "0": ("0", "0"), "500": ("500", "500"), "minus3": ("-3", "-3"),
          "abc": ("abc", "10"), "1e9": ("1e9", "10"), "2e1": ("2e1", "10"), "empty": ("", "10"), "long": ("9" * 100000, "10"),
          "dword": (("REG_DWORD", "25"), "10")}


def stored_setting(s, value, shown):
    before = start_with(s, value).stored
    check((before is None) == (value is None), f"the setting as stored: {str(before)[:60]}")
    st = open_dialog(s)
    expect_eq(control(st, "Edit")["text"], shown, "the rate the dialog shows")
    expect_eq(control(st, "Button")["enabled"], 0 <= int(shown) <= 100, "OK enabled")
    press(s, "Escape", False)
    choose(s, EXIT_ITEM)
    after = s.d.reg_rate()
    check(after == before, f"the setting changed from {str(before)[:60]} to {str(after)[:60]}")


def register(name, value, shown):
    def at(s):
        stored_setting(s, value, shown)
    at.__name__ = f"dialog_stored_{name}"
    test(at)


for _name, (_value, _shown) in STORED.items():
    register(_name, _value, _shown)
