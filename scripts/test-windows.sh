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

bash "$root/scripts/install-deps.sh" only g++-mingw-w64-x86-64-posix \
    binutils-mingw-w64-x86-64 cmake make python3 wine wine64 xvfb xdotool imagemagick \
    googletest fonts-ipafont-gothic

configure_windows_build "$build" -DPOROTEN_TESTS=ON -DCMAKE_CROSSCOMPILING_EMULATOR=wine
cmake --build "$build" -j2

# Quiet, non-interactive Wine in a prefix of its own inside the build folder.
export WINEPREFIX="$build/wineprefix" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono or Gecko installer prompts
xvfb_pid=
cleanup() {
    wineserver -k 2>/dev/null || true
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

# A screen of our own: the first display number nobody holds.
display=90
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    sleep 0.1
done
export DISPLAY=":$display"

if [ ! -f "$WINEPREFIX/.poroten-ready" ]; then
    echo "creating the Wine prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    reg=$(mktemp --suffix=.reg)
    { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$root/tests/win32/wine-prefix.reg"; } >"$reg"
    wine regedit /S "$(winepath -w "$reg")" >/dev/null 2>&1
    rm -f "$reg"
    wineserver -w
    touch "$WINEPREFIX/.poroten-ready"
fi
# One Wine session for the whole run, started here so that its background
# services hold no test's output pipe open (ctest would wait on them).
wineserver -p
wine cmd /c exit >/dev/null 2>&1 </dev/null

ctest --test-dir "$build" --output-on-failure "$@"
