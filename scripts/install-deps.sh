#!/usr/bin/env bash
# Installs, from Debian's or Ubuntu's packages, whatever is missing of what the
# build needs, what the tests need too, or only the packages named.
# Usage: scripts/install-deps.sh build|test|only [PACKAGE...]
set -euo pipefail

kind=${1:-build}
shift || true
packages=("$@")
if [ "$kind" != only ]; then
    packages+=(cmake g++ make pkg-config qt6-base-dev libgl-dev libgtest-dev libgmock-dev
               fonts-ipafont-gothic)
fi
if [ "$kind" = test ]; then
    # Real-display tests, screenshots and screen-reader checks, and the fuzzer.
    packages+=(xvfb xauth xdotool dbus dbus-x11 at-spi2-core python3-pyatspi imagemagick
               clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Please run as root, or install sudo." >&2; exit 1; }
    sudo=sudo
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
