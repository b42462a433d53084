#!/usr/bin/env bash
# Runs the end-to-end tests (tests/e2e/run_e2e.py) on a headless Wine
# desktop; needs scripts/build.sh first.  Arguments go to the runner
# (-k NAME runs only the tests whose name contains NAME).
set -euo pipefail
cd "$(dirname "$0")/../.."
# Debian's own python3, which has Pillow from python3-pil (a python3 earlier
# in PATH, e.g. from pyenv, may not).
exec /usr/bin/python3 tests/e2e/run_e2e.py "$@"
