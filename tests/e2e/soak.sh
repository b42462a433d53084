#!/usr/bin/env bash
# The soak alone (tests/e2e/soak_e2e.py): random real input to the real exe
# under Wine for MINUTES (default 60), what it holds sampled every minute,
# a table of the samples at the end. The e2e run does 5 minutes of it.
#     bash tests/e2e/soak.sh [MINUTES]
set -euo pipefail
cd "$(dirname "$0")/../.."
export XPEKKO_SOAK_MINUTES="${1:-60}"
exec /usr/bin/python3 tests/e2e/run_e2e.py -k soak
