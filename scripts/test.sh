#!/usr/bin/env bash
# The whole check: dependencies, both builds, the host unit tests, then the
# end-to-end tests of xpekko.exe under Wine on a headless desktop.
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
rm -f "$e2e_log"

stage deps bash scripts/deps.sh
[ $status -eq 0 ] && stage build bash scripts/build.sh
built=$((status == 0))
[ $built -eq 1 ] && stage "host tests" ctest --test-dir build/host --output-on-failure -j2
# The e2e run goes on after failed host tests, so that one run shows every
# problem; it needs this run's Windows build, not one left from before.
if [ $built -eq 1 ]; then
  mkdir -p out
  stage "e2e tests" bash -o pipefail -c "bash tests/e2e/run.sh 2>&1 | tee $e2e_log"
fi

echo "=== summary"
printf '%s\n' "${summary[@]}"
# The e2e runner's count closes the output.
[ -f "$e2e_log" ] && grep -E '^e2e: [0-9]+ passed, [0-9]+ failed$' "$e2e_log" | tail -n 1
exit $status
