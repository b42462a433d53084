"""A throw-away Wine desktop for running xpekko.exe headless.

One `Desktop` is one X server (Xvfb on a free display), one fresh Wine
prefix of the program's own width (32-bit, or 64-bit for the twin) and one Wine virtual desktop of 1024 x 768 with a taskbar, set up
so that what the program shows can be checked pixel for pixel: a plain
desktop colour, no wallpaper, Japanese fonts, the mouse parked in a corner.

    with Desktop(out_dir) as d:
        app = d.start_app()
        print(d.probe("find", "pekkoForm"))

Everything started here is stopped again on leaving the block, on SIGTERM and
at interpreter exit: the program and every other Wine process of the prefix
(wineserver -k), then the X server.

Every Windows program, Wine's own tools included, is started by the loader
that matches its build (/usr/lib/wine/wine or wine64, WINELOADER set to
match), never through Debian's `wine` script: while wine32 is installed that
script always takes the 32-bit loader, which cannot start at all on a host
without 32-bit support.

Run as a script it is the driver behind scripts/run.sh (see main()).
"""

import atexit
import json
import os
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]


def wine_build():
    """"win32" or "win64": the build this host's Wine runs (scripts/wine-build.sh)."""
    return subprocess.run(["bash", str(ROOT / "scripts/wine-build.sh")], check=True,
                          capture_output=True, text=True).stdout.strip()


BUILD = ROOT / "build" / wine_build()
# Both can be pointed elsewhere, e.g. at a stand-in while developing the harness.
EXE = Path(os.environ.get("XPEKKO_EXE", BUILD / "xpekko.exe"))
PROBE = Path(os.environ.get("XPEKKO_PROBE", BUILD / "tests/e2e/probe/probe.exe"))

LOADERS = {32: "/usr/lib/wine/wine", 64: "/usr/lib/wine/wine64"}
# The 64-bit server serves both widths; the 32-bit one only where it is all there is.
SERVER = next((s for s in ("/usr/lib/wine/wineserver64", "/usr/lib/wine/wineserver32")
               if os.access(s, os.X_OK)), "/usr/lib/wine/wineserver64")


def pe_bits(path):
    """32 or 64: the machine a Windows program is built for, from its PE header."""
    with open(path, "rb") as f:
        head = f.read(4096)
    at = int.from_bytes(head[0x3C:0x40], "little")
    if head[:2] != b"MZ" or head[at:at + 4] != b"PE\0\0":
        raise HarnessError(f"{path}: not a Windows program")
    machine = int.from_bytes(head[at + 4:at + 6], "little")
    bits = {0x14C: 32, 0x8664: 64}.get(machine)
    if not bits:
        raise HarnessError(f"{path}: machine {machine:#x} is neither i386 nor x86-64")
    return bits

SCREEN_W, SCREEN_H = 1024, 768
# The desktop colour every pixel check composes against; chosen to differ
# from white and black so a fringe or a hole in a figure shows at once.
BACKGROUND = (58, 110, 165)
SETTINGS_KEY = r"HKCU\Software\VB and VBA Program Settings\xpekko\setting"
DPI_KEY = r"HKCU\Control Panel\Desktop"  # LogPixels: the screen's dpi for every process of the prefix
RATE_VALUE = "kakeochiper"

# Registry of the prefix, imported once after wineboot.
#  - Explorer\Desktop makes every process of the prefix join the virtual
#    desktop "e2e" (the probe included), so all windows are on one desktop.
#  - Desktops\e2e\EnableShell: Wine 8 gives a virtual desktop a taskbar
#    only when this is set (or when the desktop is named "shell").
#  - Fonts\Replacements: Wine's Tahoma (the UI font of menus, message boxes,
#    captions) is font-linked to "MS UI Gothic" for CJK; mapping that name to
#    IPAGothic makes Japanese text render instead of empty boxes.
REGISTRY = r"""Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"MS UI Gothic"="IPAGothic"
"MS PGothic"="IPAPGothic"
"MS Gothic"="IPAGothic"
"""

DESKTOP_REGISTRY = r"""
[HKEY_CURRENT_USER\Control Panel\Colors]
"Background"="%d %d %d"

[HKEY_CURRENT_USER\Control Panel\Desktop]
"Wallpaper"=""

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="e2e"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"e2e"="%dx%d"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops\e2e]
"EnableShell"=dword:00000001
""" % (BACKGROUND + (SCREEN_W, SCREEN_H))


class HarnessError(RuntimeError):
    pass


def log(msg):
    print(f"[e2e {time.strftime('%H:%M:%S')}] {msg}", flush=True)


def winpath(path):
    """Unix absolute path -> the same file through Wine's Z: drive."""
    return "Z:" + str(Path(path).resolve()).replace("/", "\\")


def read_ppm(path):
    """(width, height, bytes of packed RGB) of a binary PPM as the probe writes it."""
    data = Path(path).read_bytes()
    parts = data.split(maxsplit=4)
    if parts[0] != b"P6" or parts[3] != b"255":
        raise HarnessError(f"{path}: not an 8-bit P6 PPM")
    w, h = int(parts[1]), int(parts[2])
    rgb = parts[4]
    if len(rgb) != w * h * 3:
        raise HarnessError(f"{path}: {len(rgb)} bytes of pixels for {w}x{h}")
    return w, h, rgb


def ppm_to_png(ppm, png, scale=1):
    from PIL import Image
    im = Image.open(ppm)
    im.resize((im.width * scale, im.height * scale), Image.NEAREST).save(png)


class Desktop:
    def __init__(self, out_dir, prefix=None, exe=EXE, probe=PROBE):
        self.out = Path(out_dir).resolve()
        self.prefix = Path(prefix).resolve() if prefix else self.out / "prefix"
        self.exe = Path(exe)
        self.probe_exe = Path(probe)
        self.bits = pe_bits(self.exe) if self.exe.exists() else 32  # start() stops on a missing exe
        self.display = None
        self.xvfb = None
        self.explorer = None
        self.holder = None
        self.apps = []
        self.dpi = 96
        self.logs = self.out / "logs"
        self._closed = False

    # ------------------------------------------------------------ lifecycle

    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    def env(self, display=True):
        e = dict(os.environ)
        e.update(WINEPREFIX=str(self.prefix), WINEARCH=f"win{self.bits}", WINEDEBUG="-all",
                 WINELOADER=LOADERS[self.bits], WINESERVER=SERVER,
                 WINEDLLOVERRIDES="mscoree,mshtml=")  # no Mono/Gecko install prompts
        if display and self.display:
            e["DISPLAY"] = self.display
        else:
            e.pop("DISPLAY", None)
        return e

    def wine(self, program, *args):
        """The command line that runs `program` (a path, or one of Wine's own
        tools by name) with the loader of its width, or of the prefix's."""
        bits = pe_bits(program) if Path(program).suffix == ".exe" and Path(program).exists() else self.bits
        return [LOADERS[bits], str(program), *map(str, args)]

    def start(self):
        for tool in (self.exe, self.probe_exe):
            if not tool.exists():
                raise HarnessError(f"{tool} is missing: run scripts/build.sh first")
        self.out.mkdir(parents=True, exist_ok=True)
        self.logs.mkdir(parents=True, exist_ok=True)
        atexit.register(self.close)
        signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
        t = time.monotonic()
        self._make_prefix()
        log(f"prefix ready in {time.monotonic() - t:.1f} s: {self.prefix}")
        self._start_x()
        self._start_explorer()
        # The pointer starts in the middle of the screen, right where the
        # character appears; his tooltip would land in the pictures.
        self.xdotool("mousemove", "1010", "10")
        log(f"desktop ready on {self.display} after {time.monotonic() - t:.1f} s")

    def _make_prefix(self, virtual_desktop=True):
        if self.prefix.exists():
            shutil.rmtree(self.prefix)
        env = self.env(display=False)
        subprocess.run(self.wine("wineboot", "-i"), env=env, stdin=subprocess.DEVNULL,
                       stdout=self._log("wineboot"), stderr=subprocess.STDOUT, timeout=180, check=True)
        reg = self.out / "e2e.reg"
        reg.write_text(REGISTRY + (DESKTOP_REGISTRY if virtual_desktop else ""), encoding="utf-16")
        subprocess.run(self.wine("regedit", "/S", winpath(reg)), env=env, stdin=subprocess.DEVNULL,
                       stdout=self._log("regedit"), stderr=subprocess.STDOUT, timeout=60, check=True)
        # Debian's Wine does not find its own Marlett without this, and the
        # caption buttons of message boxes then show as the letters "0 1 r".
        fonts = self.prefix / "drive_c/windows/Fonts"
        for name in ("marlett.ttf",):
            src = Path("/usr/share/wine/fonts") / name
            if src.exists():
                shutil.copy(src, fonts / name)
        # Let the server write the registry out and exit, so that the desktop
        # started next reads the settings above from the first moment.
        subprocess.run([SERVER, "-w"], env=env, timeout=60)

    def _start_x(self):
        r, w = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(w), "-screen", "0", f"{SCREEN_W}x{SCREEN_H}x24",
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(w,), stdin=subprocess.DEVNULL, stdout=self._log("xvfb"), stderr=subprocess.STDOUT)
        os.close(w)
        number = b""
        deadline = time.monotonic() + 20
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            chunk = os.read(r, 16)  # Xvfb writes the number once it accepts clients
            if not chunk:
                break
            number += chunk
        os.close(r)
        if not number.strip():
            raise HarnessError("Xvfb did not start (see logs/xvfb.log)")
        self.display = ":" + number.decode().strip()

    def _start_explorer(self):
        self.explorer = subprocess.Popen(
            self.wine("explorer", f"/desktop=e2e,{SCREEN_W}x{SCREEN_H}"), env=self.env(),
            stdin=subprocess.DEVNULL, stdout=self._log("explorer"), stderr=subprocess.STDOUT)
        self.probe("wait", "Shell_TrayWnd", "20000", "visible", timeout=40)
        # Wine closes a virtual desktop shortly after the last program on it
        # ends, and the next one to start builds it anew (seconds, and a
        # black X screen meanwhile); a probe that sits on it prevents that.
        self.holder = self.probe_stream("hold")
        if b"holding" not in self.holder.stdout.readline():
            raise HarnessError("probe hold did not start")

    def close(self):
        if self._closed:
            return
        self._closed = True
        for p in self.apps:
            self._kill(p)
        if self.prefix.exists():
            subprocess.run([SERVER, "-k"], env=self.env(display=False), timeout=30,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for p in (self.holder, self.explorer, self.xvfb):
            self._kill(p)
        # 600 MB each; E2E_KEEP_PREFIX=1 keeps it for a look with winecfg etc.
        if self.prefix.exists() and not os.environ.get("E2E_KEEP_PREFIX"):
            shutil.rmtree(self.prefix, ignore_errors=True)

    @staticmethod
    def _kill(p):
        if p and p.poll() is None:
            p.terminate()
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                p.kill()
                p.wait(5)

    def _log(self, name):
        """A file for a child's output, under logs/.  Passed straight to the
        child, the parent's handle is dropped right after the call."""
        return open(self.logs / f"{name}.log", "ab")

    def set_dpi(self, dpi):
        """Restarts the Wine desktop at `dpi` (LogPixels): a process reads it
        when it starts, so every one of the prefix ends, the server with them,
        and the virtual desktop starts anew (about 1 s; the X server stays).
        Programs started with start_app are killed."""
        for p in self.apps:
            self._kill(p)
        self.apps.clear()
        self._reg("add", DPI_KEY, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f")
        env = self.env(display=False)
        subprocess.run([SERVER, "-k"], env=env, timeout=30)
        subprocess.run([SERVER, "-w"], env=env, timeout=60)
        for p in (self.holder, self.explorer):
            self._kill(p)
        self._start_explorer()
        self.xdotool("mousemove", "1010", "10")
        got = self.probe("screen")[1]
        if (got["dpi_x"], got["dpi_y"]) != (dpi, dpi):
            raise HarnessError(f"LogPixels {dpi} set, the desktop has {got['dpi_x']} x {got['dpi_y']} dpi")
        self.dpi = dpi
        log(f"desktop restarted at {dpi} dpi")

    # ------------------------------------------------------------ tools

    def probe(self, *args, timeout=30, check=True):
        """Runs probe.exe; returns (exit code, parsed JSON of its last line)."""
        r = subprocess.run(self.wine(self.probe_exe, *args), env=self.env(),
                           stdin=subprocess.DEVNULL, capture_output=True, timeout=timeout)
        lines = r.stdout.decode("utf-8", "replace").strip().splitlines()
        if r.returncode == 2 or not lines:
            raise HarnessError(f"probe {' '.join(map(str, args))}: rc {r.returncode}, "
                               f"stderr {r.stderr.decode(errors='replace')[-300:]}")
        result = json.loads(lines[-1])
        if check and r.returncode != 0:
            raise HarnessError(f"probe {' '.join(map(str, args))} found nothing: {lines[-1][:300]}")
        return r.returncode, result

    def probe_stream(self, *args):
        """Starts probe.exe and returns the process; read its JSON lines from .stdout."""
        return subprocess.Popen(self.wine(self.probe_exe, *args), env=self.env(),
                                stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                stderr=self._log("probe"))

    def windows(self, cls):
        return self.probe("find", cls, check=False)[1]

    def xdotool(self, *args):
        subprocess.run(["xdotool", *args], env=self.env(), check=True, timeout=20,
                       stdout=subprocess.DEVNULL)

    def screenshot(self, png=None):
        """The X screen (about 30 ms), also saved as `png` if given."""
        from PIL import ImageGrab
        im = ImageGrab.grab(xdisplay=self.display)
        if png:
            im.save(png)
        return im

    def capture(self, x, y, w, h, name):
        """Screen rectangle through Wine's GetDC/BitBlt -> (w, h, rgb); also kept as name.ppm."""
        ppm = self.out / f"{name}.ppm"
        self.probe("capture", x, y, w, h, winpath(ppm))
        return read_ppm(ppm)

    # ------------------------------------------------------------ the program

    def start_app(self, program=None, env=None):
        """Starts xpekko.exe, or a program of the prefix by name ("notepad"),
        with `env` added to its environment."""
        cmd = self.wine(program or self.exe)
        cwd = None if program else self.exe.parent
        p = subprocess.Popen(cmd, cwd=cwd, env={**self.env(), **(env or {})}, stdin=subprocess.DEVNULL,
                             stdout=self._log(Path(cmd[1]).stem), stderr=subprocess.STDOUT)
        p.started = time.monotonic()
        self.apps.append(p)
        return p

    def stop_app(self, p, cls="pekkoForm"):
        """Kills the program and waits until its windows are gone."""
        self._kill(p)
        if p in self.apps:
            self.apps.remove(p)
        if cls:
            self.probe("wait", cls, "10000", "gone", timeout=30)

    @staticmethod
    def freeze(p):
        """Stops the program's process (SIGSTOP): its windows keep their last picture."""
        os.kill(p.pid, signal.SIGSTOP)

    @staticmethod
    def thaw(p):
        os.kill(p.pid, signal.SIGCONT)

    # ------------------------------------------------------------ settings

    def reg_put(self, value):
        """Stores the rate `value`: None (no value), a text (REG_SZ) or (type, data)."""
        self._reg("delete", SETTINGS_KEY, "/v", RATE_VALUE, "/f", check=False)
        if value is None:
            return
        kind, data = value if isinstance(value, tuple) else ("REG_SZ", value)
        if len(data) < 1000:
            self._reg("add", SETTINGS_KEY, "/v", RATE_VALUE, "/t", kind, "/d", data, "/f")
            return
        # Longer than a command line may be: through a .reg file, which
        # holds a text as it is written here.
        if kind != "REG_SZ" or '"' in data or "\\" in data:
            raise HarnessError(f"only plain texts go through a .reg file, not {kind} {data[:20]!r}...")
        reg = self.out / "long-rate.reg"
        reg.write_text(f'Windows Registry Editor Version 5.00\n\n[{SETTINGS_KEY.replace("HKCU", "HKEY_CURRENT_USER")}]\n'
                       f'"{RATE_VALUE}"="{data}"\n', encoding="utf-16")
        self._reg("import", winpath(reg))

    def reg_rate(self):
        """(type, data) of the stored rate as `reg query` prints it, or None."""
        r = self._reg("query", SETTINGS_KEY, "/v", RATE_VALUE, check=False)
        for line in r.stdout.splitlines():
            parts = line.split(None, 2)
            if parts[:1] == [RATE_VALUE] and len(parts) >= 2:
                return parts[1], parts[2] if len(parts) == 3 else ""
        return None

    def _reg(self, *args, check=True):
        r = subprocess.run(self.wine("reg", *args), env=self.env(), stdin=subprocess.DEVNULL,
                           capture_output=True, text=True, timeout=30)
        if check and r.returncode != 0:
            raise HarnessError(f"wine reg {' '.join(args)}: {r.stdout}{r.stderr}")
        return r


# -------------------------------------------------------------- run.sh driver

def record(seconds, out_dir, every=0.2, seed="6995"):
    """Runs the program on a headless desktop and keeps a PNG of the screen
    every `every` seconds (each frame of a walk, which changes every 500 ms)
    and a GIF that plays them at the pace they were taken. The random seed
    is fixed, so that the recording shows rer's visit within seconds."""
    from PIL import Image, ImageGrab
    out = Path(out_dir).resolve()
    out.mkdir(parents=True, exist_ok=True)
    for old in out.glob("frame-*.png"):
        old.unlink()
    frames, times = [], []
    with Desktop(out / "desktop", prefix=out / "prefix") as d:
        app = d.start_app(env={"XPEKKO_RANDOM_SEED": seed})
        d.probe("wait", "pekkoForm", "20000", "visible", timeout=40)
        start = time.monotonic()
        while time.monotonic() - start < seconds:
            im = ImageGrab.grab(xdisplay=d.display)
            times.append(time.monotonic())
            im.save(out / f"frame-{len(frames):03d}.png", compress_level=1)
            frames.append(im.resize((SCREEN_W // 2, SCREEN_H // 2), Image.BILINEAR))
            time.sleep(max(0.0, start + len(frames) * every - time.monotonic()))
        if app.poll() is not None:
            log(f"xpekko.exe ended by itself with code {app.returncode}")
        d.stop_app(app)
    gif = out / "xpekko.gif"
    pace = [round((b - a) * 1000) for a, b in zip(times, times[1:])] + [1000]
    frames[0].save(gif, save_all=True, append_images=frames[1:], duration=pace, loop=0)
    print(f"recording: {len(frames)} frames ({len(frames) / seconds:.1f} a second) in {out}/frame-*.png, "
          f"animation {gif}")


def show(prefix):
    """Runs the program on the user's own display until it ends."""
    d = Desktop(Path(prefix).parent, prefix=prefix)
    (d.out / "logs").mkdir(parents=True, exist_ok=True)
    if not d.prefix.exists():
        # On a real display the program lives on the user's own desktop, so
        # this prefix gets the fonts but no virtual desktop.
        d._make_prefix(virtual_desktop=False)
    env = d.env(display=False)
    env["DISPLAY"] = os.environ["DISPLAY"]
    log("xpekko.exe is running; end it from its tray menu or with Ctrl+C")
    try:
        subprocess.run(d.wine(d.exe), cwd=d.exe.parent, env=env, stdin=subprocess.DEVNULL)
    except KeyboardInterrupt:
        pass
    finally:
        subprocess.run([SERVER, "-k"], env=env, timeout=30)


def main(argv):
    import argparse
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    sub = ap.add_subparsers(dest="cmd", required=True)
    r = sub.add_parser("record", help="run headless and record frames")
    r.add_argument("--seconds", type=float, default=25)
    r.add_argument("--out", default=str(ROOT / "out/run"))
    s = sub.add_parser("show", help="run on $DISPLAY")
    s.add_argument("--prefix", default=str(ROOT / "out/run/prefix-display"))
    a = ap.parse_args(argv)
    if a.cmd == "record":
        record(a.seconds, a.out)
    else:
        show(a.prefix)


if __name__ == "__main__":
    main(sys.argv[1:])
