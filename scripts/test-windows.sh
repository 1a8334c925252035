#!/usr/bin/env bash
# The Windows build's tests, run under Wine on virtual X screens:
#   - the core tests, cross-compiled (tests/core, tests/fakes);
#   - the Win32 adapter's tests, with the shared adapter contract cases;
#   - poroten.exe itself played (tests/win32/smoke_test.py and the like,
#     labelled play), in a Wine session and on a screen of their own, beside
#     the others.
# Installs what is missing, builds in build-win/ and runs ctest there.
#   scripts/test-windows.sh [extra ctest arguments, e.g. -R Smoke]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build-win}
# shellcheck source=scripts/windows-common.sh
source "$root/scripts/windows-common.sh"
# shellcheck source=scripts/sections.sh
source "$root/scripts/sections.sh"

# --session PREFIX CTEST-ARGS...: ctest in a Wine session of its own.
if [ "${1:-}" = --session ]; then
    trap stop_wine_session EXIT
    start_wine_session "$2"
    shift 2
    ctest --test-dir "$build" --output-on-failure "$@"
    exit
fi

bash "$root/scripts/install-deps.sh" windows
trap lanes_stop EXIT
trap 'exit 143' INT TERM

section "Windows: build"
priority build
# The Wine prefixes are made meanwhile (once, then copied; see windows-common.sh).
prefixes=$(mktemp)
for prefix in wineprefix wineprefix-play; do
    (start_wine_session "$build/$prefix" && stop_wine_session) >>"$prefixes" 2>&1 || true
done &
prefixes_pid=$!
build_windows_tests "$build"
wait "$prefixes_pid"
cat "$prefixes"
rm -f "$prefixes"

section "Windows: tests under Wine"
priority test
lane windows-units bash "$root/scripts/test-windows.sh" --session "$build/wineprefix" -LE play "$@"
lane windows-play bash "$root/scripts/test-windows.sh" --session "$build/wineprefix-play" -L play "$@"
lanes_wait
section_end
