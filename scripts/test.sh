#!/usr/bin/env bash
# The whole check: dependencies, the builds, the host unit tests, what the
# exes import, the end-to-end tests of xpekko.exe under Wine on a headless
# desktop, then the unit tests of the Windows build under Wine (the logic's
# tests cross-built, and the tests of the Win32 platform layer). The Wine
# stages run the 32-bit build where this host can run it, else its 64-bit
# twin; the summary says which.
# Exits non-zero if any stage fails; ends with a summary of the stages.
set -uo pipefail
cd "$(dirname "$0")/.."

declare -a summary=()
status=0
stage() {
  local name=$1; shift
  local t0=$SECONDS
  echo "=== $name"
  if "$@"; then
    summary+=("ok    $name ($((SECONDS - t0)) s)")
  else
    summary+=("FAIL  $name ($((SECONDS - t0)) s)")
    status=1
  fi
}

e2e_log=out/e2e-output.txt
units_log=out/wine-units-output.txt
rm -f "$e2e_log" "$units_log"

stage deps bash scripts/deps.sh
[ $status -eq 0 ] && stage build bash scripts/build.sh
built=$((status == 0))
[ $built -eq 1 ] && stage "host tests" ctest --test-dir build/host --output-on-failure -j2
[ $built -eq 1 ] && stage "exe imports" bash tests/imports.sh
# The end-to-end run starts the program from this archive too.
[ $built -eq 1 ] && stage "release archive" bash scripts/dist.sh
# The Wine stages run the build this host can run; scripts/wine-build.sh
# tries a 32-bit program to find out (XPEKKO_WINE_BUILD overrides it).
wine_build=$(bash scripts/wine-build.sh)
if [ "$wine_build" = win32 ]; then
  wine_line="wine stages: 32-bit build, the program as shipped"
elif [ "$(bash scripts/wine-build.sh --probe)" = win64 ]; then
  wine_line="wine stages: 64-bit build (this host cannot run 32-bit programs)"
else
  wine_line="wine stages: 64-bit build (chosen by XPEKKO_WINE_BUILD; this host could run the 32-bit one)"
fi
echo "$wine_line"
# The e2e run goes on after failed host tests, so that one run shows every
# problem; it needs this run's Windows build, not one left from before.
# One Wine prefix serves both Wine stages: the e2e run keeps its prefix, and
# the unit tests run on it next and remove it (unless E2E_KEEP_PREFIX is set).
if [ $built -eq 1 ]; then
  mkdir -p out
  keep=${E2E_KEEP_PREFIX:-}
  stage "e2e tests" env E2E_KEEP_PREFIX=1 bash -o pipefail -c "bash tests/e2e/run.sh 2>&1 | tee $e2e_log"
  stage "wine unit tests" env E2E_KEEP_PREFIX="$keep" \
    bash -o pipefail -c "bash tests/win32/run.sh 2>&1 | tee $units_log"
fi

echo "=== summary"
printf '%s\n' "${summary[@]}"
echo "$wine_line"
# The runners' counts close the output.
[ -f "$units_log" ] && grep -E '^(xpekko[a-z0-9_]*\.exe at [0-9]+ dpi|wine unit tests): [0-9]+ passed' "$units_log"
[ -f "$e2e_log" ] && grep -E '^e2e: [0-9]+ passed, [0-9]+ failed$' "$e2e_log" | tail -n 1
exit $status
