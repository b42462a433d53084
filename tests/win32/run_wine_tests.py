"""The unit tests of the Windows build, run under Wine.

Two GoogleTest programs of the Windows build this host's Wine runs
(build/win32, or the 64-bit twin build/win64 where 32-bit programs cannot run): xpekko_tests.exe (the program's
logic on the simulated desktop, the same tests as the host build's) and
xpekko_win32_tests.exe (the real platform layer, which opens windows and
reads the screen). Both run on one headless Wine desktop (tests/e2e/wineenv.py).

The Wine prefix is the end-to-end tests' own (out/e2e/prefix, or under
$E2E_OUT): scripts/test.sh runs this right after them with the prefix kept,
so one test run sets up one prefix. When none is there, one is made. It is
removed at the end unless E2E_KEEP_PREFIX is set.

    python3 tests/win32/run_wine_tests.py [--gtest_filter=...]

Prints what GoogleTest prints in brief mode (failures and the totals) and
closes with "wine unit tests: N passed, M failed".
"""

import atexit
import os
import re
import signal
import subprocess
import sys
import time
from pathlib import Path

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tests/e2e"))
from wineenv import BUILD, Desktop, HarnessError, log  # noqa: E402

OUT = Path(os.environ.get("E2E_OUT", ROOT / "out/e2e")).resolve()
PROGRAMS = [BUILD / "tests/xpekko_tests.exe", BUILD / "tests/win32/xpekko_win32_tests.exe"]
TIMEOUT = 900  # seconds per program; the logic's tests take well under a minute


class SharedPrefixDesktop(Desktop):
    """The e2e Desktop on a prefix that may already exist: made only if missing."""

    def start(self):
        if not self.probe_exe.exists():
            raise HarnessError(f"{self.probe_exe} is missing: run scripts/build.sh first")
        atexit.register(self.close)
        signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
        self.out.mkdir(parents=True, exist_ok=True)
        self.logs.mkdir(parents=True, exist_ok=True)
        t = time.monotonic()
        if (self.prefix / "system.reg").exists():
            log(f"using the prefix of the e2e run: {self.prefix}")
        else:
            self._make_prefix()
            log(f"prefix ready in {time.monotonic() - t:.1f} s: {self.prefix}")
        self._start_x()
        self._start_explorer()
        self.xdotool("mousemove", "1010", "10")  # away from where the tests' windows appear
        log(f"desktop ready on {self.display} after {time.monotonic() - t:.1f} s")


def run_program(d, exe, extra):
    """Runs one test program; returns (passed, failed) as GoogleTest counts them."""
    t0 = time.monotonic()
    args = d.wine(exe, "--gtest_brief=1", "--gtest_color=no", *extra)
    try:
        r = subprocess.run(args, cwd=exe.parent, env=d.env(), stdin=subprocess.DEVNULL,
                           capture_output=True, timeout=TIMEOUT)
        out, code = r.stdout.decode("utf-8", "replace"), r.returncode
    except subprocess.TimeoutExpired as e:
        out, code = (e.stdout or b"").decode("utf-8", "replace"), "timeout"
    sys.stdout.write(out if out.endswith("\n") or not out else out + "\n")
    # In brief mode GoogleTest prints each failure and the totals: the number
    # run and the number passed (skipped tests count as neither failed nor passed).
    ran = re.search(r"^\[=+\] (\d+) tests? from .* ran", out, re.M)
    passed = re.search(r"^\[  PASSED  \] (\d+) tests?", out, re.M)
    skipped = re.search(r"^\[  SKIPPED \] (\d+) tests?", out, re.M)
    n_passed = int(passed.group(1)) if passed else 0
    n_failed = int(ran.group(1)) - n_passed - (int(skipped.group(1)) if skipped else 0) if ran else 0
    if code != 0 and n_failed == 0:
        n_failed = 1  # crashed, hung or ended before its summary
        print(f"FAIL {exe.name}: exit code {code} without a failed test")
    print(f"{exe.name}: {n_passed} passed, {n_failed} failed ({time.monotonic() - t0:.1f} s)", flush=True)
    return n_passed, n_failed


def main(argv):
    missing = [p for p in PROGRAMS if not p.exists()]
    if missing:
        print(f"missing: {', '.join(map(str, missing))}: run scripts/build.sh first")
        print("wine unit tests: 0 passed, 1 failed")
        return 1
    passed = failed = 0
    try:
        with SharedPrefixDesktop(OUT) as d:
            for exe in PROGRAMS:
                p, f = run_program(d, exe, argv)
                passed += p
                failed += f
    except (HarnessError, subprocess.SubprocessError, OSError) as e:
        print(f"FAIL harness: {e}")
        failed += 1
    print(f"wine unit tests: {passed} passed, {failed} failed", flush=True)
    return 1 if failed or not passed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
