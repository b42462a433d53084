#!/usr/bin/env bash
# The end-to-end test under Wine, after scripts/build.sh; Debian's python3 has Pillow.
exec /usr/bin/python3 "$(dirname "$0")/run_e2e.py" "$@"
