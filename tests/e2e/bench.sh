#!/usr/bin/env bash
# Prints start-up time, CPU use per minute, memory and size of xpekko.exe
# under Wine (see bench.py); needs scripts/build.sh first.
set -euo pipefail
cd "$(dirname "$0")/../.."
exec /usr/bin/python3 tests/e2e/bench.py "$@"
