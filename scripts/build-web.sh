#!/usr/bin/env bash
# Builds the browser version with Emscripten into build-web/site/: index.html
# at the top (with the main window's markup, its style sheet and its pre-frame
# script in it), the program's JavaScript and WebAssembly, the web app
# manifest, the service worker and the icons. Any static file server can serve it.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build-web}
site=$build/site

# libssl-dev: the page generator hashes what the page holds inline with libcrypto.
bash "$root/scripts/install-deps.sh" only emscripten nodejs cmake make g++ libc-bin libssl-dev
# Debian's Emscripten keeps its Node modules (acorn) there, and a Node from
# elsewhere does not look there by itself.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

emcmake cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=MinSizeRel -DPOROTEN_TESTS=OFF \
    -DPOROTEN_WERROR=ON >/dev/null
cmake --build "$build" -j2 --target poroten_web_app

rm -rf "$site"
mkdir -p "$site"
cp "$build/app/poroten.js" "$build/app/poroten.wasm" \
    "$build/platform/web/index.html" "$root/platform/web/site/manifest.webmanifest" \
    "$root/app/icons/poroten-32.png" "$root/app/icons/poroten-256.png" \
    "$root/app/icons/poroten.svg" "$site/"
bash "$root/scripts/stamp-site.sh" "$site"
echo "Site built in $site"
