"""The Windows build's unit tests under Wine, on one headless Wine desktop
(wineenv.py): the logic's tests (as on the host) and the real platform
layer's, of the build this host's Wine runs. The prefix is the e2e run's,
which scripts/test.sh keeps for this (made if missing, removed at the end
unless E2E_KEEP_PREFIX is set). Arguments go to both programs. Closes with
"wine unit tests: N passed, M failed".
"""

import os
import re
import subprocess
import sys
from pathlib import Path

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
ROOT = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(ROOT / "tests/e2e"))
from wineenv import BUILD, Desktop, HarnessError  # noqa: E402

PROGRAMS = [BUILD / "tests/xpekko_tests.exe", BUILD / "tests/win32/xpekko_win32_tests.exe"]


def main(argv):
    passed = failed = 0
    try:
        with Desktop(Path(os.environ.get("E2E_OUT", ROOT / "out/e2e")), reuse=True) as d:
            # Both programs at 96 dpi, then the scale's tests again at 144 and 192.
            for dpi, exe, args in [(96, exe, argv) for exe in PROGRAMS] + [
                    (dpi, PROGRAMS[1], [*argv, "--gtest_filter=Scale.*"]) for dpi in (144, 192)]:
                if dpi != d.dpi:
                    d.set_dpi(dpi)
                r = subprocess.run(d.wine(exe, "--gtest_brief=1", "--gtest_color=no", *args), cwd=exe.parent,
                                   env=d.env(), capture_output=True, timeout=900)
                out = r.stdout.decode("utf-8", "replace")
                print(out, end="")
                # Brief mode prints each failure and the totals; a crash before them is a failure too.
                ok, bad = (int(m[1]) if m else 0 for m in (re.search(rf"^\[  {w}  \] (\d+)", out, re.M)
                                                           for w in ("PASSED", "FAILED")))
                bad = bad or int(r.returncode != 0)
                print(f"{exe.name} at {dpi} dpi: {ok} passed, {bad} failed (exit code {r.returncode})", flush=True)
                passed, failed = passed + ok, failed + bad
    except (HarnessError, subprocess.SubprocessError, OSError) as e:
        print(f"FAIL harness: {e}")
        failed += 1
    print(f"wine unit tests: {passed} passed, {failed} failed", flush=True)
    return 1 if failed or not passed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
