#!/usr/bin/env bash
# The end-to-end suite: plays the program on private X displays through real
# key events and a screen reader's view, then checks the install tree and the
# Debian package. It plays the program of build-ci/, the tree scripts/test.sh
# has just run the unit tests of (it builds whatever is missing there first,
# so the package check finds nothing left to build). Runs as root to add an
# unprivileged test user; as anyone else those checks are skipped.
#   scripts/test-e2e.sh [extra ctest arguments, e.g. -R GameCycle, -j3, -LE timed]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build-ci}
# shellcheck source=scripts/sections.sh
source "$root/scripts/sections.sh"

bash "$root/scripts/install-deps.sh" e2e

# The same options as scripts/test.sh gives this tree: nothing is built again.
if ! grep -qx 'POROTEN_E2E:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null ||
   ! grep -qx 'POROTEN_WERROR:BOOL=ON' "$build/CMakeCache.txt"; then
    cmake -S "$root" -B "$build" -DPOROTEN_WERROR=ON -DPOROTEN_E2E=ON >/dev/null
fi
cmake --build "$build" -j"$(nproc)"
section "end-to-end${*:+ ($*)}"
priority first
# -V: each test's result and duration, as the runner prints them.
(cd "$build" && ctest -L e2e --no-tests=error -V "$@")
section_end
