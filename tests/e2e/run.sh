#!/usr/bin/env bash
# The end-to-end test of xpekko.exe under Wine (run_e2e.py); needs
# scripts/build.sh first. Debian's python3 has Pillow (python3-pil).
set -euo pipefail
cd "$(dirname "$0")/../.."
exec /usr/bin/python3 tests/e2e/run_e2e.py "$@"
