#!/usr/bin/env bash
# The browser build's figures in headless Chromium on this machine (not a
# test): site size, start-up, key to screen, timer ticks.
#   scripts/bench-web.sh [--runs 21] [--keys 20] [--ticks 60]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/install-deps.sh" only python3 python3-selenium chromium chromium-driver \
    imagemagick fonts-ipafont-gothic
bash "$root/scripts/build-web.sh" >/dev/null
cd /tmp && exec /usr/bin/python3 "$root/bench/web/bench_web.py" "${BUILD_DIR:-$root/build-web}/site" "$@"
