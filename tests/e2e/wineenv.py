"""A throw-away headless Wine desktop: Xvfb, a prefix of the program's width, a 1024 x 768 virtual desktop with a
taskbar (or two monitors without one), stopped on leaving `with`, SIGTERM or exit. Programs start by the loader of
their width, never Debian's `wine` script: with wine32 installed it takes the 32-bit loader, which a host without
32-bit support cannot start."""

import atexit, json, os, shutil, signal, subprocess, sys, time  # noqa: E401
from pathlib import Path

from PIL import Image, ImageGrab

ROOT = Path(__file__).resolve().parents[2]
BUILD = ROOT / "build" / subprocess.run(["bash", str(ROOT / "scripts/wine-build.sh")], check=True,
                                        capture_output=True, text=True).stdout.strip()
EXE = Path(os.environ.get("XPEKKO_EXE", BUILD / "xpekko.exe"))
PROBE = BUILD / "tests/e2e/probe/probe.exe"
LOADERS = {32: "/usr/lib/wine/wine", 64: "/usr/lib/wine/wine64"}
# The 64-bit server serves both widths; the 32-bit one only where it is all there is.
SERVER = next((s for s in ("/usr/lib/wine/wineserver64", "/usr/lib/wine/wineserver32") if os.access(s, os.X_OK)),
              "/usr/lib/wine/wineserver64")
SCREEN_W, SCREEN_H = 1024, 768
MONITORS = [(0, 0, SCREEN_W, SCREEN_H), (SCREEN_W, 0, 800, 600)]  # x, y, w, h of two_monitors()' monitors
BACKGROUND = (58, 110, 165)  # neither white nor black: a fringe or a hole in a figure shows
RATE = (r"HKCU\Software\VB and VBA Program Settings\xpekko\setting", "/v", "kakeochiper")  # for `reg`
LOGPIXELS = ("add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d")
PARK = (1010, 10)  # the pointer's corner, away from every window and tooltip

# Tahoma links to "MS UI Gothic" for Japanese, IPAGothic stands in. Explorer\Desktop
# puts every process on the desktop "e2e"; Wine 8 gives it a taskbar only with EnableShell.
REG = f"""Windows Registry Editor Version 5.00
[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
"MS UI Gothic"="IPAGothic"
[HKEY_CURRENT_USER\\Control Panel\\Colors]
"Background"="{' '.join(map(str, BACKGROUND))}"
[HKEY_CURRENT_USER\\Control Panel\\Desktop]
"Wallpaper"=""
[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]
"Desktop"="e2e"
[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"e2e"="{SCREEN_W}x{SCREEN_H}"
[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops\\e2e]
"EnableShell"=dword:00000001
"""


class HarnessError(RuntimeError):
    pass


def log(msg):
    print(f"[e2e {time.strftime('%H:%M:%S')}] {msg}", flush=True)


def winpath(path):
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def pe_bits(path):  # from its PE header
    head = Path(path).read_bytes()[:4096]
    at = int.from_bytes(head[0x3C:0x40], "little")
    return {0x14C: 32, 0x8664: 64}[int.from_bytes(head[at + 4:at + 6], "little")]


def until(probe, timeout, what=None, every=0.05):
    """probe()'s first true result, or its last after `timeout` s (an error naming `what`, if given)."""
    end = time.monotonic() + timeout
    while not (got := probe()) and time.monotonic() < end:
        time.sleep(every)
    if not got and what:
        raise HarnessError(f"not within {timeout:g} s: {what}")
    return got


class Desktop:
    def __init__(self, out_dir, reuse=False):
        self.out = Path(out_dir).resolve()
        self.prefix, self.logs = self.out / "prefix", self.out / "logs"
        self.reuse = reuse  # an existing prefix serves (made only if missing)
        self.bits = pe_bits(EXE) if EXE.exists() else 32
        self.display, self.procs, self.apps, self.dpi, self.shell = None, {}, [], 96, True
        self.log = lambda name: dict(stdout=open(self.logs / f"{name}.log", "ab"), stderr=subprocess.STDOUT)

    def __enter__(self):
        atexit.register(self.close)  # also after a failed start
        self.start()
        return self

    def __exit__(self, *exc):
        self.close()

    def env(self, display=True):
        e = dict(os.environ, WINEPREFIX=str(self.prefix), WINEARCH=f"win{self.bits}", WINEDEBUG="-all",
                 WINELOADER=LOADERS[self.bits], WINESERVER=SERVER, WINEDLLOVERRIDES="mscoree,mshtml=")
        e.pop("DISPLAY", None)
        return dict(e, DISPLAY=self.display) if display and self.display else e

    def wine(self, program, *args):
        """`program` (a path, or a Wine tool's name) run by the loader of its width, or the prefix's."""
        bits = pe_bits(program) if str(program).endswith(".exe") else self.bits
        return [LOADERS[bits], str(program), *map(str, args)]

    def start(self):
        """X, and Wine's desktop with a taskbar, or on two monitors Xephyr's screens in Xvfb (Xinerama's)."""
        if missing := [t for t in (EXE, PROBE) if not t.exists()]:
            raise HarnessError(f"{missing[0]} is missing: run scripts/build.sh first")
        self.logs.mkdir(parents=True, exist_ok=True)
        signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
        t = time.monotonic()
        if not (self.reuse and (self.prefix / "system.reg").exists()):
            self.make_prefix()
        xvfb = ["Xvfb", "-screen", "0", f"{SCREEN_W if self.shell else sum(m[2] for m in MONITORS)}x{SCREEN_H}x24"]
        xephyr = ["Xephyr", "+xinerama", *[a for m in MONITORS for a in ("-screen", f"{m[2]}x{m[3]}")]]
        for name, args in [("xvfb", xvfb), ("xephyr", xephyr)][:1 if self.shell else 2]:
            r, w = os.pipe()  # the server writes its display number there once it takes clients
            self.procs[name] = subprocess.Popen(args + ["-displayfd", str(w), "-nolisten", "tcp", "-noreset"],
                                                pass_fds=(w,), env=self.env(), **self.log(name))
            os.close(w)
            with os.fdopen(r) as f: self.display = ":" + f.readline().strip()  # noqa: E701
        if self.shell:
            self.procs["explorer"] = subprocess.Popen(self.wine("explorer", f"/desktop=e2e,{SCREEN_W}x{SCREEN_H}"),
                                                      env=self.env(), **self.log("explorer"))
            until(lambda: [w for w in self.find("Shell_TrayWnd") if w["visible"]], 40, "the taskbar")
        # Wine closes a virtual desktop soon after its last program ends (and rebuilds it for the next, seconds
        # of black), and a process started as a session begins or ends can hang: a probe sits on it.
        self.procs["hold"] = subprocess.Popen(self.wine(PROBE, "hold"), env=self.env(), stdout=subprocess.PIPE)
        self.procs["hold"].stdout.readline()
        self.park()
        log(f"{'desktop' if self.shell else 'two monitors'} ready on {self.display} after {time.monotonic() - t:.1f} s")

    def make_prefix(self):
        shutil.rmtree(self.prefix, ignore_errors=True)
        env, out, reg = self.env(display=False), self.log("prefix"), self.out / "e2e.reg"
        subprocess.run(self.wine("wineboot", "-i"), env=env, timeout=180, check=True, **out)
        reg.write_text(REG, encoding="utf-16")
        subprocess.run(self.wine("regedit", "/S", winpath(reg)), env=env, check=True, **out)
        # Debian's Wine misses its own Marlett here: caption buttons read "0 1 r".
        shutil.copy("/usr/share/wine/fonts/marlett.ttf", self.prefix / "drive_c/windows/Fonts")
        subprocess.run([SERVER, "-w"], env=env, timeout=60)  # the registry written out before the desktop reads it

    def set_dpi(self, dpi):
        """Restarts Wine and X at `dpi`: a process reads LogPixels when it starts."""
        self.reg(*LOGPIXELS, dpi, "/f")
        self.close(keep=True)
        self.reuse, self.dpi = True, dpi
        self.start()

    def two_monitors(self):
        """Restarts Wine and X on MONITORS, no virtual desktop, Xinerama's monitors, not XRandR's, till close()."""
        self.reg("delete", r"HKCU\Software\Wine\Explorer", "/v", "Desktop", "/f")
        self.reg("add", r"HKCU\Software\Wine\X11 Driver", "/v", "UseXRandR", "/d", "N", "/f")
        self.close(keep=True)
        self.reuse, self.shell = True, False
        self.start()

    def close(self, keep=False):
        """Ends Wine, then X. The prefix goes too (600 MB) unless `keep` (for the next start) or $E2E_KEEP_PREFIX,
        which leaves it as made for the next user: at 96 dpi, with its virtual desktop."""
        xs = [self.procs.pop(x, None) for x in ("xephyr", "xvfb")]
        for p in self.apps + list(self.procs.values()):
            kill(p)
        if self.prefix.exists():
            if not keep and os.environ.get("E2E_KEEP_PREFIX") and (self.dpi, self.shell) != (96, True):
                self.reg(*LOGPIXELS, 96, "/f")
                self.reg("add", r"HKCU\Software\Wine\Explorer", "/v", "Desktop", "/d", "e2e", "/f")
                self.reg("delete", r"HKCU\Software\Wine\X11 Driver", "/v", "UseXRandR", "/f", check=False)
                self.dpi, self.shell = 96, True
            for flag in ("-k", "-w"):
                subprocess.run([SERVER, flag], env=self.env(display=False), timeout=30)
            if not (keep or os.environ.get("E2E_KEEP_PREFIX")):
                shutil.rmtree(self.prefix, ignore_errors=True)
        [kill(x) for x in xs]
        self.procs, self.apps = {}, []

    retries = 0  # probe runs that printed nothing and were run again

    def probe(self, *args, check=True, exe=PROBE):
        """Runs probe.exe (or counts.exe): (exit code, its JSON); a failed run is logged with its stderr,
        Wine's errors in it. About one start in a thousand Wine's 64-bit loader dies before the program
        (exit 1, no output: its heap, placed at random, took the shared user data's address): once more."""
        what = f"{Path(exe).stem} {' '.join(map(str, args))}"
        for again in (0, 1):
            r = subprocess.run(self.wine(exe, *args), env=dict(self.env(), WINEDEBUG="-all,err+all"),
                               capture_output=True, timeout=60)
            if r.returncode not in (0, 1) or not r.stdout:
                log(f"{what}: rc {r.returncode}, {r.stdout[-300:]}; stderr {r.stderr[-3000:]}")
            if r.stdout or again:
                break
            Desktop.retries += 1
            time.sleep(0.5)
        if r.returncode not in (0, 1) or not r.stdout or check and r.returncode:
            raise HarnessError(f"{what}: rc {r.returncode}, {r.stdout[-300:]}, {r.stderr[-300:]}")
        return r.returncode, json.loads(r.stdout.decode())

    def find(self, name, kids=False):
        """Top-level windows of a class or title ("*": all), top to bottom."""
        return self.probe("kids" if kids else "find", name, check=False)[1]

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env(), check=True, timeout=20)

    def click(self, x, y):
        self.xdotool("mousemove", x, y, "click", 1)

    def park(self):
        self.xdotool("mousemove", *PARK)

    def screenshot(self):
        return ImageGrab.grab(xdisplay=self.display)

    def capture(self, x, y, w, h, name):
        """A rectangle of the screen read through Wine's GDI, as out/NAME.ppm and an image."""
        self.probe("capture", x, y, w, h, winpath(self.out / f"{name}.ppm"))
        return Image.open(self.out / f"{name}.ppm").convert("RGB")

    def start_app(self, env=None, exe=EXE):
        self.apps.append(subprocess.Popen(self.wine(exe), cwd=exe.parent, env={**self.env(), **(env or {})},
                                          **self.log("xpekko")))
        return self.apps[-1]

    def reg(self, *args, check=True):
        r = subprocess.run(self.wine("reg", *args), env=self.env(), capture_output=True, text=True, timeout=30)
        if check and r.returncode:
            raise HarnessError(f"reg {' '.join(map(str, args))}: {r.stdout}{r.stderr}")
        return r

    def rate(self, value=None):
        """The stored rate, (type, text) or None; with a `value` stores that text first."""
        if value is not None:
            self.reg("add", *RATE, "/t", "REG_SZ", "/d", value, "/f")
        return next((tuple((line.split(None, 2) + [""])[1:3]) for line in self.reg("query", *RATE, check=False)
                     .stdout.splitlines() if line.split()[:1] == [RATE[2]]), None)


def kill(p):
    if p and p.poll() is None:
        p.kill()
        p.wait(10)
