#!/usr/bin/env bash
# The browser build's figures in headless Chromium on this machine (not a
# test): site size, the first draw against a single-file page and against the
# plain page, the program ready, key to screen, timer ticks, Lighthouse
# (mobile and desktop) and axe-core.
#   scripts/bench-web.sh [--runs 7] [--keys 20] [--ticks 60] [--lighthouse-runs 3]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/install-deps.sh" only python3 python3-selenium chromium chromium-driver \
    imagemagick fonts-ipafont-gothic
bash "$root/scripts/build-web.sh" >/dev/null
build=${BUILD_DIR:-$root/build-web}
# The game's texts, colours, controls and clock, which the benchmark reads.
cmake --build "$build" --target poroten_game_facts >/dev/null
export POROTEN_FACTS=$build/game_facts.json
POROTEN_NPM=$(bash "$root/scripts/web-npm.sh" axe-core@4.10.2 lighthouse@12.2.3)
export POROTEN_NPM
cd /tmp && exec /usr/bin/python3 "$root/bench/web/bench_web.py" "$build/site" "$@"
