"""A soak of the real program under Wine: random real input (xdotool) for
XPEKKO_SOAK_MINUTES minutes (5 in the e2e run, 60 by tests/e2e/soak.sh),
with what the process holds sampled every minute; 終了 at the end.

Input: clicks, hovers and drags on both characters, and the tray menu with
every item: send out / call back, the rate dialog with typed texts (Enter or
Esc), the version box, the date-and-time and volume commands (whatever they
start is closed again), or a click beside the menu. Boxes the characters
open are closed with their OK button.

Samples, each taken with no menu, box or dialog of the program open: the
resident memory (/proc VmRSS), the CPU of the process and of the prefix's
wineserver over the minute, and counts Wine keeps (its GetGuiResources and
GetProcessHandleCount give 0): GDI objects in the process's handle table,
its windows, its kernel handles in the server (`probe counts`), and its open
file descriptors. The first sample follows one pass of every action, so
that what is made once and kept is in it. A count grows steadily when it
rose over at least three quarters of the intervals (and at least 4) and ends
more than a margin above where it began: 8 or a tenth of the start,
whichever is more. The margin is for what the system caches on later first
uses of its own: in an hour of this input the GDI objects settle 132 -> about
141-147 within the first 20 minutes and then hold, in steps that can fall
in three of five early minutes. Counted by type, the steps seen were device
contexts, each with its region and bitmap, made on first uses of the
dialog and the boxes (likely the system's cache of device contexts); six
more of any one action added nothing. Any count that grows steadily fails
the soak. The table of samples, with the GDI objects by type at the start
and the end, is printed and written to soak-samples.txt.
"""

import os
import random
import threading
import time
from pathlib import Path

from dialog_e2e import dialog
from live_e2e import (ABOUT_ITEM, DATE_TIME_ITEM, EXIT_ITEM, PARK, RATE_ITEM, SEND_OUT_ITEM, VOLUME_ITEM, choose,
                      drag_by, live, popups, tray_icon_box, wait_popup)
from run_e2e import CELL, OUT, check, test
from wineenv import log

MINUTES = float(os.environ.get("XPEKKO_SOAK_MINUTES", "5"))
COUNTS = ("gdi", "windows", "kernel", "fds")
TEXTS = ["25", "0", "100", "abc", "1e9", "-3", " 50.5 ", "", "101", "99.5", "x" * 40]


class Soak:
    def __init__(self, s):
        self.s, self.d = s, s.d
        self.lv = live(s, "soak", rate="10", seed=None)
        self.app = self.lv.run.app
        seed = int(os.environ.get("XPEKKO_SOAK_SEED", time.time()))
        log(f"soak: {MINUTES:g} minutes, XPEKKO_SOAK_SEED={seed} repeats its choices")
        self.rng = random.Random(seed)
        self.keep = {w["pid"] for w in self.d.probe("list")[1]} | {self.lv.pid}  # processes whose windows stay
        self.server = self._wineserver()
        self.samples, self.actions = [], {}
        self.rer_times, self.rer_shown = 0, False  # how often rer came into sight (visits and call backs)
        self.last_cpu = None

    # ---------------------------------------------------------------- measuring

    def _wineserver(self):
        """The Linux pid of this prefix's wineserver: its working directory
        is the server directory named after the prefix's device and inode."""
        st = self.d.prefix.stat()
        tag = f"server-{st.st_dev:x}-{st.st_ino:x}"
        for p in Path("/proc").iterdir():
            try:
                if p.name.isdigit() and (p / "comm").read_text().startswith("wineserver") and \
                        os.readlink(p / "cwd").endswith(tag):
                    return int(p.name)
            except OSError:
                continue
        return None

    @staticmethod
    def _ticks(pid):
        fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
        return int(fields[11]) + int(fields[12])  # utime + stime

    def sample(self):
        self.tidy()
        time.sleep(1.0)
        pid = self.app.pid
        now = time.monotonic()
        self.server = self.server or self._wineserver()
        cpu = (now, self._ticks(pid), self._ticks(self.server) if self.server else 0)
        row = {"min": (now - self.t0) / 60}
        if self.last_cpu:
            dt, hz = cpu[0] - self.last_cpu[0], os.sysconf("SC_CLK_TCK")
            row["cpu"] = 100 * (cpu[1] - self.last_cpu[1]) / hz / dt
            row["server_cpu"] = 100 * (cpu[2] - self.last_cpu[2]) / hz / dt
        self.last_cpu = cpu
        rss = next(line for line in Path(f"/proc/{pid}/status").read_text().splitlines() if line.startswith("VmRSS"))
        row["rss_mb"] = int(rss.split()[1]) / 1024
        row.update({k: v for k, v in self.d.probe("counts", self.lv.pid)[1].items() if k in COUNTS + ("gdi_types",)})
        row["fds"] = len(os.listdir(f"/proc/{pid}/fd"))
        self.samples.append(row)
        log("soak sample " + self.row_text(row))

    @staticmethod
    def row_text(row):
        cpu = f"{row['cpu']:5.1f} {row['server_cpu']:6.1f}" if "cpu" in row else f"{'-':>5} {'-':>6}"
        return (f"{row['min']:5.1f} {row['rss_mb']:7.1f} {cpu} " +
                " ".join(f"{row[k]:7d}" for k in COUNTS))

    def table(self):
        head = f"{'min':>5} {'rss_mb':>7} {'cpu%':>5} {'srv%':>6} " + " ".join(f"{k:>7}" for k in COUNTS)
        return "\n".join([head] + [self.row_text(r) for r in self.samples])

    def steady_growth(self):
        """The counts that grew steadily: (name, first, last, intervals up of all)."""
        out = []
        for k in COUNTS:
            v = [r[k] for r in self.samples]
            ups = sum(b > a for a, b in zip(v, v[1:]))
            if len(v) >= 5 and ups >= 0.75 * (len(v) - 1) and v[-1] > v[0] + max(8, v[0] // 10):
                out.append((k, v[0], v[-1], f"{ups}/{len(v) - 1}"))
        return out

    # ---------------------------------------------------------------- input

    def click(self, x, y, button="1"):
        self.d.xdotool("mousemove", str(x), str(y), "click", button)

    def character(self, cls):
        """The visible character window of the class on the screen, or None."""
        ws = [w["rect"] for w in self.d.windows(cls) if w["visible"]]
        return next((r for r in ws if 0 <= r["x"] <= 1024 - CELL and r["w"] > 0), None)

    def tidy(self):
        """Closes what the last action left open: the popup, the program's
        boxes (OK), the dialog (Esc) and windows of other programs."""
        pid = self.lv.pid
        if popups(self.s, pid):
            self.click(150, 100)
            wait_popup(self.s, pid, False)
        for _ in range(5):
            boxes = [b for b in self.d.probe("children", "#32770", check=False)[1] if b["visible"] and b["pid"] == pid]
            if not boxes:
                break
            ok = next((c["rect"] for c in boxes[0]["children"] if c["class"] == "Button" and c["visible"]), None)
            if ok:
                self.click(ok["x"] + ok["w"] // 2, ok["y"] + ok["h"] // 2)
            else:
                self.d.probe("post", boxes[0]["hwnd"], 16, 0, 0)  # WM_CLOSE
            time.sleep(0.3)
        if dialog(self.s)["visible"]:
            self.d.probe("activate", dialog(self.s)["hwnd"], check=False)
            self.d.xdotool("key", "Escape")
        for w in self.d.probe("list")[1]:
            if w["visible"] and w["pid"] not in self.keep:
                self.d.probe("post", w["hwnd"], 16, 0, 0)
        self.d.xdotool("mousemove", *PARK)

    def menu(self, item):
        if tray_icon_box(self.s) is not None:
            choose(self.s, item)

    def act(self, name):
        rng = self.rng
        self.actions[name] = self.actions.get(name, 0) + 1
        target = self.character("rionForm" if name.endswith("rer") else "pekkoForm")
        if name.startswith(("click", "hover")) and target:
            x, y = target["x"] + CELL // 2, target["y"] + target["h"] // 2
            if name.startswith("click"):
                self.click(x, y)
                time.sleep(rng.uniform(0.3, 2.0))
            else:
                self.d.xdotool("mousemove", str(x), str(y))
                time.sleep(rng.uniform(0.5, 2.5))
        elif name == "drag" and target:
            x, y = target["x"] + CELL // 2, target["y"] + CELL // 2
            dx, dy = drag_by(target["x"], target["y"])
            self.d.xdotool("mousemove", str(x), str(y), "mousedown", "1")
            for k in range(1, 6):
                self.d.xdotool("mousemove", str(x + dx * k // 5), str(y + dy * k // 5))
            self.d.xdotool("mouseup", "1")
        elif name == "send/call":
            self.menu(SEND_OUT_ITEM)
            time.sleep(rng.uniform(0.5, 3.0))
        elif name == "dialog":
            self.menu(RATE_ITEM)
            time.sleep(0.3)
            self.d.xdotool("type", "--", rng.choice(TEXTS))
            self.d.xdotool("key", rng.choice(["Return", "Escape"]))
        elif name in ("version", "date/time", "volume", "menu closed"):
            self.menu({"version": ABOUT_ITEM, "date/time": DATE_TIME_ITEM, "volume": VOLUME_ITEM}.get(name))
            time.sleep(rng.uniform(0.3, 2.0))
        self.tidy()
        rer = self.character("rionForm") is not None
        self.rer_times += rer and not self.rer_shown
        self.rer_shown = rer
        check(self.app.poll() is None, f"the program ended during {name}")

    NAMES = ("click", "hover", "drag", "click rer", "hover rer", "send/call", "dialog", "version", "date/time",
             "volume", "menu closed")

    def run(self, minutes):
        for name in self.NAMES:  # warm-up: every action once
            self.act(name)
        self.t0 = time.monotonic()
        self.sample()
        for m in range(1, int(round(minutes)) + 1):
            while time.monotonic() < self.t0 + 60 * m - 3:
                self.act(self.rng.choice(self.NAMES))
            self.sample()

    def exit(self):
        """終了 from the menu (choose: the process ends, the icon goes);
        returns the seconds from the click's start (0.15 s of it a pause on
        the item) to the end of the process."""
        ended = []
        threading.Thread(target=lambda: ended.append((self.app.wait(), time.monotonic())), daemon=True).start()
        choose(self.s, EXIT_ITEM)
        return ended[0][1] - self.s.menu_clicked


@test(timeout=int(MINUTES * 60) + 240)
def soak_random_use_holds_no_more_over_time(s):
    soak = Soak(s)
    try:
        soak.run(MINUTES)
    finally:
        table = soak.table()
        seen = f"rer in sight after an action, times: {soak.rer_times}"
        types = [f"GDI objects by type at {r['min']:.0f} min: {r.get('gdi_types')}" for r in soak.samples[:: max(1, len(soak.samples) - 1)]]
        (OUT / "soak-samples.txt").write_text("\n".join([table, f"actions: {soak.actions}", seen] + types) + "\n")
        print(table, flush=True)
        log(f"soak actions: {soak.actions}; {seen}")
    grown = soak.steady_growth()
    took = soak.exit()
    log(f"soak: the process ended {took:.2f} s after the click on 終了 began")
    check(took <= 1.0 + 0.15, f"the process ended {took:.2f} s after the click on 終了 began "
          f"(0.15 s of it a pause on the item)")
    check(not grown, f"counts that grew steadily (name, first, last, intervals up): {grown}")
