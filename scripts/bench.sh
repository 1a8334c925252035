#!/usr/bin/env bash
# Builds a release of poroten with the benchmark programs beside it and runs
# the benchmark: start-up and peak RSS against a minimal Qt window, the
# countdown's clock idle and with both cores busy, and key to screen.
# Usage: scripts/bench.sh [bench.py options, e.g. --runs 15 --ticks 60 --keys 20]
set -euo pipefail
cd "$(dirname "$0")/.."

# What only the benchmark needs.
bash scripts/install-deps.sh unit libxtst-dev stress-ng x11-utils

cmake -S bench -B build-bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-bench -j"${BENCH_JOBS:-2}" --target poroten poroten_game_facts floor tick_bench startup_probe key_probe
exec /usr/bin/python3 bench/bench.py --build build-bench "$@"
