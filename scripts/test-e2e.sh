#!/usr/bin/env bash
# The end-to-end suite: builds the program, plays it on a private X display
# through real key events and a screen reader's view, then checks the install
# tree and the Debian package. Runs as root to add an unprivileged test user;
# as anyone else that one check is skipped.
set -euo pipefail
cd "$(dirname "$0")/.."

# What only this suite needs: xprop and xwininfo, the desktop entry checker,
# dpkg-shlibdeps for the package's library dependencies, and two Japanese
# input methods with Mozc for Qt programs, plus python3-xlib to reach them;
# for the Wayland case a headless sway, wtype for keys, grim for screenshots
# and Qt's Wayland plugin.
bash scripts/install-deps.sh test x11-utils desktop-file-utils dpkg-dev \
    ibus ibus-mozc fcitx5 fcitx5-mozc fcitx5-frontend-qt6 python3-xlib \
    sway wtype grim qt6-wayland

cmake -S . -B build-e2e -DPOROTEN_TESTS=ON -DPOROTEN_E2E=ON >/dev/null
cmake --build build-e2e -j"$(nproc)" --target poroten poroten_game_facts
(cd build-e2e && ctest -L e2e --no-tests=error --output-on-failure)
