#!/usr/bin/env bash
# Installs, from Debian's or Ubuntu's packages, whatever is missing of what a
# build or a test suite needs: this is the one list. Does nothing when all is
# there, and installs what is missing in one round otherwise.
# Usage: scripts/install-deps.sh KIND [PACKAGE...]
#   build         the Qt program (scripts/play.sh)
#   unit          its tests, under the sanitizers too, and the fuzzer
#   e2e           the end-to-end suite (scripts/test-e2e.sh)
#   windows-build poroten.exe (scripts/build-windows.sh)
#   windows       the Windows suite under Wine (scripts/test-windows.sh)
#   site          the browser build (scripts/build-web.sh)
#   web           the browser suite (scripts/test-web.sh)
#   release       the release files (scripts/release.sh)
#   release-test  the release files' checks (scripts/test-release.sh)
#   test          all of these (scripts/test.sh)
#   only          nothing but the packages named
set -euo pipefail

build=(cmake g++ make pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev
       fonts-ipafont-gothic)
# Real-display tests, screenshots and screen-reader checks, and the fuzzer.
unit=("${build[@]}" xvfb xauth xdotool dbus dbus-x11 at-spi2-core python3-pyatspi imagemagick
      clang libclang-rt-14-dev)
# xprop and xwininfo, the desktop entry checker, dpkg-shlibdeps for the
# package's library dependencies, and two Japanese input methods with Mozc for
# Qt programs, plus python3-xlib to reach them; for the Wayland case a
# headless sway, wtype for keys, grim for screenshots and Qt's Wayland plugin.
e2e=("${unit[@]}" x11-utils desktop-file-utils dpkg-dev ibus ibus-mozc fcitx5 fcitx5-mozc
     fcitx5-frontend-qt6 python3-xlib sway wtype grim qt6-wayland)
windows_build=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 cmake make)
windows=("${windows_build[@]}" python3 wine wine64 xvfb xdotool imagemagick googletest
         fonts-ipafont-gothic)
# libssl-dev: the page generator hashes what the page holds inline with libcrypto.
site=(emscripten nodejs cmake make g++ libc-bin libssl-dev)
web=("${site[@]}" googletest libgtest-dev python3 python3-selenium chromium chromium-driver
     imagemagick fonts-ipafont-gothic firefox-esr webkit2gtk-driver xvfb xauth)
release=("${build[@]}" "${windows_build[@]}" "${site[@]}" nsis dpkg-dev lintian appstream
         python3 git)
release_test=("${release[@]}" "${unit[@]}" x11-utils desktop-file-utils wine wine64 xvfb
              xdotool imagemagick)

kind=${1:-build}
shift || true
case $kind in
    build) packages=("${build[@]}") ;;
    unit) packages=("${unit[@]}") ;;
    e2e) packages=("${e2e[@]}") ;;
    windows-build) packages=("${windows_build[@]}") ;;
    windows) packages=("${windows[@]}") ;;
    site) packages=("${site[@]}") ;;
    web) packages=("${web[@]}") ;;
    release) packages=("${release[@]}") ;;
    release-test) packages=("${release_test[@]}") ;;
    test) packages=("${e2e[@]}" "${windows[@]}" "${web[@]}" "${release_test[@]}") ;;
    only) packages=() ;;
    *) echo "unknown kind: $kind (see the top of $0)" >&2; exit 2 ;;
esac
packages+=("$@")
# The browser suite fetches its pinned npm packages with npm, which Debian's
# nodejs leaves to a package of its own and other builds of Node carry.
case $kind in web|test) command -v npm >/dev/null || packages+=(npm) ;; esac

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo=sudo
fi
# A CI machine never reads a manual page: no index rebuild after each install,
# here or when a suite installs the game's own package.
if [ -n "${CI:-}" ] && [ -e /var/lib/man-db/auto-update ] && { [ -z "$sudo" ] || command -v sudo >/dev/null; }; then
    $sudo rm -f /var/lib/man-db/auto-update
fi

# One question to dpkg for the whole list.
declare -A installed=()
while read -r name status; do
    [ "$status" = "install ok installed" ] && installed[$name]=1
done < <(dpkg-query -W -f='${Package} ${Status}\n' "${packages[@]}" 2>/dev/null || true)
missing=()
for p in "${packages[@]}"; do
    [ -n "${installed[$p]:-}" ] || [[ " ${missing[*]} " == *" $p "* ]] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ -n "$sudo" ]; then
    command -v sudo >/dev/null || { echo "Please run as root, or install sudo." >&2; exit 1; }
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
