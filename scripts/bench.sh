#!/usr/bin/env bash
# Builds a release of poroten with the benchmark programs beside it and runs
# the benchmark: start-up and peak RSS against a minimal Qt window, the
# countdown's clock idle and with both cores busy, and key to screen.
# Usage: scripts/bench.sh [bench.py options, e.g. --runs 15 --ticks 60 --keys 20]
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh test
# What only the benchmark needs.
missing=()
for p in libxtst-dev stress-ng x11-utils; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S bench -B build-bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-bench -j"${BENCH_JOBS:-2}" --target poroten floor tick_bench startup_probe key_probe
exec /usr/bin/python3 bench/bench.py --build build-bench "$@"
