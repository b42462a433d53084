#!/usr/bin/env bash
# The end-to-end test under Wine, after scripts/build.sh; Debian's python3 has Pillow.
set -euo pipefail
cd "$(dirname "$0")/../.."
exec /usr/bin/python3 tests/e2e/run_e2e.py "$@"
