#!/usr/bin/env bash
# The Windows build's tests, run under Wine on a virtual X screen:
#   - the core tests, cross-compiled (tests/core, tests/fakes);
#   - the Win32 adapter's tests, with the shared adapter contract cases;
#   - a smoke test playing poroten.exe itself (tests/win32/smoke_test.py).
# Installs what is missing, builds in build-win/ and runs ctest there.
#   scripts/test-windows.sh [extra ctest arguments, e.g. -R Smoke]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build-win}
# shellcheck source=scripts/windows-common.sh
source "$root/scripts/windows-common.sh"
# shellcheck source=scripts/sections.sh
source "$root/scripts/sections.sh"

bash "$root/scripts/install-deps.sh" windows

section "Windows: build"
priority build
build_windows_tests "$build"

section "Windows: tests under Wine"
priority test
trap stop_wine_session EXIT
start_wine_session "$build/wineprefix"
ctest --test-dir "$build" --output-on-failure "$@"
section_end
