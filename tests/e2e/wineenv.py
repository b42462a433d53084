"""A throw-away headless Wine desktop: Xvfb, a prefix of the program's width, a
1024 x 768 virtual desktop with a taskbar, stopped on leaving `with`, SIGTERM
or exit. Programs start by the loader of their width, never Debian's `wine`
script: with wine32 installed it takes the 32-bit loader, which a host
without 32-bit support cannot start."""

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
BACKGROUND = (58, 110, 165)  # neither white nor black: a fringe or a hole in a figure shows
RATE = (r"HKCU\Software\VB and VBA Program Settings\xpekko\setting", "/v", "kakeochiper")  # for `reg`
LOGPIXELS = ("add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d")
PARK = (1010, 10)  # the pointer's corner, away from every window and tooltip

# Tahoma links to "MS UI Gothic" for Japanese, IPAGothic stands in. Explorer\Desktop
# puts every process on the desktop "e2e"; Wine 8 gives it a taskbar only with EnableShell.
FONTS = """Windows Registry Editor Version 5.00
[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
"MS UI Gothic"="IPAGothic"
"""
DESKTOP = f"""[HKEY_CURRENT_USER\\Control Panel\\Colors]
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
    """A Unix path as Wine's Z: drive shows it."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def pe_bits(path):
    """32 or 64: the machine a Windows program is built for, from its PE header."""
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
    def __init__(self, out_dir, prefix=None, reuse=False):
        self.out = Path(out_dir).resolve()
        self.prefix = Path(prefix).resolve() if prefix else self.out / "prefix"
        self.reuse = reuse  # an existing prefix serves (made only if missing)
        self.bits = pe_bits(EXE) if EXE.exists() else 32
        self.display, self.procs, self.apps, self.dpi = None, {}, [], 96
        self.logs = self.out / "logs"
        self.log = lambda name: open(self.logs / f"{name}.log", "ab")

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
        if missing := [t for t in (EXE, PROBE) if not t.exists()]:
            raise HarnessError(f"{missing[0]} is missing: run scripts/build.sh first")
        self.logs.mkdir(parents=True, exist_ok=True)
        signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
        t = time.monotonic()
        if not (self.reuse and (self.prefix / "system.reg").exists()):
            self.make_prefix()
        r, w = os.pipe()  # Xvfb writes its display number there once it takes clients
        self.procs["xvfb"] = subprocess.Popen(
            ["Xvfb", "-displayfd", str(w), "-screen", "0", f"{SCREEN_W}x{SCREEN_H}x24", "-nolisten", "tcp",
             "-noreset"], pass_fds=(w,), stdout=self.log("xvfb"), stderr=subprocess.STDOUT)
        os.close(w)
        with os.fdopen(r) as f: self.display = ":" + f.readline().strip()  # noqa: E701
        self.start_explorer()
        log(f"desktop ready on {self.display} after {time.monotonic() - t:.1f} s")

    def make_prefix(self, shell=True, more=""):  # more: registry text of the caller's
        shutil.rmtree(self.prefix, ignore_errors=True)
        env, out = self.env(display=False), self.log("prefix")
        subprocess.run(self.wine("wineboot", "-i"), env=env, stdout=out, stderr=out, timeout=180, check=True)
        reg = self.out / "e2e.reg"
        reg.write_text(FONTS + (DESKTOP if shell else "") + more, encoding="utf-16")
        subprocess.run(self.wine("regedit", "/S", winpath(reg)), env=env, stdout=out, stderr=out, check=True)
        # Debian's Wine misses its own Marlett here: caption buttons read "0 1 r".
        shutil.copy("/usr/share/wine/fonts/marlett.ttf", self.prefix / "drive_c/windows/Fonts")
        subprocess.run([SERVER, "-w"], env=env, timeout=60)  # the registry written out before the desktop reads it

    def start_explorer(self):
        self.procs["explorer"] = subprocess.Popen(self.wine("explorer", f"/desktop=e2e,{SCREEN_W}x{SCREEN_H}"),
                                                  env=self.env(), stdout=self.log("explorer"),
                                                  stderr=subprocess.STDOUT)
        until(lambda: [w for w in self.find("Shell_TrayWnd") if w["visible"]], 40, "the taskbar")
        # Wine closes a virtual desktop soon after its last program ends (and
        # rebuilds it for the next, seconds of black): a probe sits on it.
        self.procs["hold"] = subprocess.Popen(self.wine(PROBE, "hold"), env=self.env(), stdout=subprocess.PIPE)
        self.procs["hold"].stdout.readline()
        self.park()

    def close(self):
        xvfb = self.procs.pop("xvfb", None)
        for p in self.apps + list(self.procs.values()):
            kill(p)
        if self.prefix.exists():
            subprocess.run([SERVER, "-k"], env=self.env(display=False), timeout=30)
            if not os.environ.get("E2E_KEEP_PREFIX"):  # 600 MB
                shutil.rmtree(self.prefix, ignore_errors=True)
        kill(xvfb)
        self.procs, self.apps = {}, []

    def set_dpi(self, dpi):
        """Restarts the Wine desktop (not X) at `dpi`: a process reads LogPixels when it starts."""
        self.reg(*LOGPIXELS, dpi, "/f")
        for flag in ("-k", "-w"):
            subprocess.run([SERVER, flag], env=self.env(display=False), timeout=30)
        for p in self.apps + [self.procs["hold"], self.procs["explorer"]]:
            kill(p)
        self.start_explorer()
        self.dpi = dpi

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
                                          stdout=self.log("xpekko"), stderr=subprocess.STDOUT))
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
        for line in self.reg("query", *RATE, check=False).stdout.splitlines():
            if line.split()[:1] == [RATE[2]]:
                return tuple((line.split(None, 2) + [""])[1:3])


def kill(p):
    if p and p.poll() is None:
        p.kill()
        p.wait(10)
