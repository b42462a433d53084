#!/usr/bin/env bash
# Makes the release archive out/dist/xpekko-<version>.zip: the 32-bit program,
# its 64-bit twin (as xpekko64.exe), LICENSE, the third-party notices and a
# README for Windows users. The version is the one the program shows. Builds
# both programs if needed (scripts/build.sh has the packages installed), and
# first checks the notices against what the linker's map of each says went in.
set -euo pipefail
cd "$(dirname "$0")/.."
version=$(sed -n 's/.*kVersionText = ".* Ver\.\([0-9.]*\)";.*/\1/p' src/windows/menuForm.h)
[ -n "$version" ] || { echo "dist: no version in src/windows/menuForm.h" >&2; exit 1; }
for b in win32:i686 win64:x86_64; do
  dir=build/${b%%:*}
  [ -f "$dir/CMakeCache.txt" ] || cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="cmake/${b#*:}-w64-mingw32.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$dir" -j2 --target xpekko >/dev/null
done
exec /usr/bin/python3 - "$version" <<'PY'
import re, sys, zipfile
from pathlib import Path

version = sys.argv[1]
OURS = {"objects.a", "libxpekko_logic.a", "libxpekko_win32.a", "libxpekko_picture.a"}
THEIRS = {"libstdc++.a": "libstdc++", "libgcc.a": "libgcc", "libgcc_eh.a": "libgcc", "crtbegin.o": "libgcc",
          "crtend.o": "libgcc", "libpthread.a": "winpthreads", "libwinpthread.a": "winpthreads"}
RUNTIME = re.compile(r"crt2u?\.o|lib(mingw32|mingwex|msvcrt|moldname|kernel32|user32|gdi32|advapi32|comctl32"
                     r"|shell32)\.a")


def parts(build):
    """The third-party parts the linker's map of a build says went into its exe."""
    m = Path(f"build/{build}/xpekko.map").read_text()
    members = m[m.index("Archive member included"):m.index("Discarded input sections")]
    inputs = {Path(p).name for p in re.findall(r"^(\S+\.a)\(", members, re.M)}
    inputs |= {Path(p).name for p in re.findall(r"^LOAD (\S+\.o)$", m, re.M)}
    found = {"stb_image"} if re.search(r"^\s+0x\w+\s+stbi_load_from_memory$", m, re.M) else set()
    for name in inputs - OURS:
        found.add(THEIRS.get(name) or ("mingw-w64" if RUNTIME.fullmatch(name) else f"unknown {name}"))
    return found


notices = Path("THIRD-PARTY-NOTICES.txt").read_text()
named = set(re.findall(r"^  \[([^\]]+)\]", notices, re.M))
for build in ("win32", "win64"):
    if parts(build) != named:
        sys.exit(f"dist: build/{build}/xpekko.exe has {sorted(parts(build))}; the notices name {sorted(named)}")

readme = Path("dist/README.txt").read_text().replace("@VERSION@", version)
readme = "\ufeff" + readme.replace("\n", "\r\n")  # for Notepad
files = [("xpekko.exe", Path("build/win32/xpekko.exe").read_bytes()),
         ("xpekko64.exe", Path("build/win64/xpekko.exe").read_bytes()),
         ("LICENSE", Path("LICENSE").read_bytes()),
         ("THIRD-PARTY-NOTICES.txt", notices.encode()),
         ("README.txt", readme.encode())]
out = Path(f"out/dist/xpekko-{version}.zip")
out.parent.mkdir(parents=True, exist_ok=True)
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
    for name, data in files:  # a fixed date: the same sources make the same archive
        z.writestr(zipfile.ZipInfo(name, (2026, 1, 1, 0, 0, 0)), data, zipfile.ZIP_DEFLATED)
for i in zipfile.ZipFile(out).infolist():
    print(f"{i.file_size:>9} {i.filename}")
print(f"{out}: {out.stat().st_size} bytes")
PY
