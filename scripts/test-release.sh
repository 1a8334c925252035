#!/usr/bin/env bash
# The release files, tested as installed:
#   - two runs of scripts/release.sh, in different build folders, give the
#     same bytes;
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
cd "$root"

bash scripts/install-deps.sh test x11-utils desktop-file-utils dpkg-dev \
    g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 xvfb xdotool imagemagick

rm -rf "$work"
RELEASE_WORK=$work/release-1 bash scripts/release.sh "$work/dist-1"
RELEASE_WORK=$work/release-2 bash scripts/release.sh "$work/dist-2" >/dev/null
echo "== two release runs, byte for byte"
diff <(ls "$work/dist-1") <(ls "$work/dist-2")
for file in "$work"/dist-1/*; do
    cmp "$file" "$work/dist-2/${file##*/}"
    echo "same: ${file##*/}"
done
dist=$work/dist-1
(cd "$dist" && sha256sum --check --quiet SHA256SUMS)

echo "== the web zip carries the licence beside the site"
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
# from its facts file, which any build with tests writes.
configure_windows_build "$root/build-win" -DPOROTEN_TESTS=ON -DCMAKE_CROSSCOMPILING_EMULATOR=wine
cmake --build "$root/build-win" --target poroten_probe poroten_game_facts -j2 >/dev/null
export POROTEN_FACTS=$root/build-win/game_facts.json

echo "== the .deb, installed with apt-get"
deb=$(echo "$dist"/poroten_*_amd64.deb)
version=$(dpkg-deb -f "$deb" Version)
purge() { DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq poroten >/dev/null 2>&1 || true; }
trap 'purge; stop_wine_session' EXIT
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
POROTEN_INSTALLED_DEB=$deb python3 tests/e2e/run_e2e.py --binary /usr/bin/poroten -k InstalledPackage
purge

echo "== the Windows installer and zip, under Wine"
start_wine_session "$work/wineprefix"
python3 tests/win32/install_test.py --setup "$dist/poroten-$version-win64-setup.exe" \
    --zip "$dist/poroten-$version-win64.zip" --probe "$root/build-win/tests/win32/poroten_probe.exe" \
    --work "$work/wine" --version "$version"
