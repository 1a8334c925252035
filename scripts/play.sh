#!/usr/bin/env bash
# Sets up a fresh Debian 12 or Ubuntu machine, builds poroten and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh build
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DPOROTEN_TESTS=OFF >/dev/null
cmake --build build-release -j"$(nproc)"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "poroten is built (build-release/app/poroten) but there is no graphical display to show it on."
    echo "Run this command from a desktop session (DISPLAY or WAYLAND_DISPLAY set)."
    exit 1
fi
exec build-release/app/poroten
