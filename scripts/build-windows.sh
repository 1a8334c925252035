#!/usr/bin/env bash
# Builds poroten.exe for 64-bit Windows with MinGW-w64 (static, stripped) in
# build-win/, installing the cross compiler first when it is missing.
#   scripts/build-windows.sh            Release build
#   BUILD_DIR=... scripts/build-windows.sh
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build-win}
# shellcheck source=scripts/windows-common.sh
source "$root/scripts/windows-common.sh"

bash "$root/scripts/install-deps.sh" windows-build

configure_windows_build "$build" -DPOROTEN_TESTS=OFF
cmake --build "$build" --target poroten -j2

exe="$build/app/poroten.exe"
echo
echo "poroten.exe: $exe ($(stat -c %s "$exe") bytes)"
echo "imports:"
x86_64-w64-mingw32-objdump -p "$exe" | grep 'DLL Name' | sed 's/^[[:space:]]*/  /'
