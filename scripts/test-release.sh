#!/usr/bin/env bash
# The release files, tested as installed:
#   - two runs of scripts/release.sh, in different build folders, give the
#     same bytes (the second builds beside the first and its files' checks);
#   - the .deb installs with apt-get, its program answers --version and --help
#     without a display and plays as an ordinary user (tests/e2e/test_install.py,
#     InstalledPackage); it is purged again afterwards;
#   - under Wine on Xvfb: the installer and the uninstaller run silently and
#     the zip's program plays from a fresh folder (tests/win32/install_test.py).
# Runs as root (apt-get and a test user).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=$root/build-release-test
# shellcheck source=scripts/windows-common.sh
source "$root/scripts/windows-common.sh"
# shellcheck source=scripts/sections.sh
source "$root/scripts/sections.sh"
cd "$root"

bash scripts/install-deps.sh release-test

rm -rf "$work"
purge() { DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq poroten >/dev/null 2>&1 || true; }
trap 'lanes_stop; purge; stop_wine_session' EXIT
trap 'exit 143' INT TERM

# Two real builds from scratch, in folders of their own (no compiler cache
# here). The second is only compared, so it builds with what the cores leave
# over, from the start and beside the checks of the first one's files.
lane release-2 bash -c 'source scripts/sections.sh && priority background &&
    RELEASE_WORK=$1/release-2 bash scripts/release.sh "$1/dist-2" >/dev/null' - "$work"
section "release: the first run"
priority build
RELEASE_WORK=$work/release-1 bash scripts/release.sh "$work/dist-1"
priority test
dist=$work/dist-1

section "release: the web zip carries the licence beside the site"
python3 - "$dist"/poroten-*-web.zip LICENSE <<'PY'
import sys, zipfile
archive, licence = sys.argv[1:]
with zipfile.ZipFile(archive) as z, open(licence, "rb") as f:
    top = z.namelist()[0].split("/")[0]
    names = z.namelist()
    assert top + "/index.html" in names, names
    shipped = z.read(top + "/LICENSE")
    assert shipped.startswith(f.read()), "the zip's LICENSE does not begin with the MIT licence"
    assert b"Emscripten" in shipped, "the zip's LICENSE does not name the runtime it carries"
print("LICENSE in", archive)
PY

# The suites that play the release files expect the game's texts and records
# from its facts file, which any build with tests writes (scripts/test.sh
# names build-ci's); the Windows checks read windows with the Windows suite's
# probe, from build-win.
if [ -z "${POROTEN_FACTS:-}" ]; then
    section "release: the facts file, from build-win"
    build_windows_tests "$root/build-win" poroten_game_facts >/dev/null
    export POROTEN_FACTS=$root/build-win/game_facts.json
fi

section "release: the .deb, installed with apt-get"
deb=$(echo "$dist"/poroten_*_amd64.deb)
version=$(dpkg-deb -f "$deb" Version)
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
POROTEN_INSTALLED_DEB=$deb python3 tests/e2e/run_e2e.py --binary /usr/bin/poroten -k InstalledPackage
purge

section "release: the Windows suite's probe, from build-win"
build_windows_tests "$root/build-win" poroten_probe >/dev/null

section "release: the Windows installer and zip, under Wine"
start_wine_session "$work/wineprefix"
python3 tests/win32/install_test.py --setup "$dist/poroten-$version-win64-setup.exe" \
    --zip "$dist/poroten-$version-win64.zip" --probe "$root/build-win/tests/win32/poroten_probe.exe" \
    --work "$work/wine" --version "$version"
stop_wine_session
section_end

lanes_wait
section "release: two runs, byte for byte"
diff <(ls "$work/dist-1") <(ls "$work/dist-2")
for file in "$work"/dist-1/*; do
    cmp "$file" "$work/dist-2/${file##*/}"
    echo "same: ${file##*/}"
done
(cd "$dist" && sha256sum --check --quiet SHA256SUMS)
section_end
