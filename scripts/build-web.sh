#!/usr/bin/env bash
# Builds the browser version with Emscripten into build-web/site/: index.html
# at the top (with the main window's markup, its style sheet and its pre-frame
# script in it), the program's JavaScript and WebAssembly, the web app
# manifest, the service worker and the icons. Any static file server can serve it.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build-web}
site=$build/site

bash "$root/scripts/install-deps.sh" site
# Debian's Emscripten keeps its Node modules (acorn) there, and a Node from
# elsewhere does not look there by itself.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

# WEB_TESTS=ON: the tree builds the browser suite's test programs as well
# (scripts/test-web.sh), run under Node as it is (emcmake would add an option
# this Node refuses); the site's own files stay as they are.
tests=()
if [ "${WEB_TESTS:-OFF}" = ON ]; then
    tests=(-DPOROTEN_TESTS=ON -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v node)")
fi
emcmake cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=MinSizeRel -DPOROTEN_TESTS=OFF \
    -DPOROTEN_WERROR=ON "${tests[@]}" >/dev/null
cmake --build "$build" -j2 --target poroten_web_app

rm -rf "$site"
mkdir -p "$site"
cp "$build/app/poroten.js" "$build/app/poroten.wasm" \
    "$build/platform/web/index.html" "$root/platform/web/site/manifest.webmanifest" \
    "$root/app/icons/poroten-32.png" "$root/app/icons/poroten-256.png" \
    "$root/app/icons/poroten.svg" "$site/"
bash "$root/scripts/stamp-site.sh" "$site"
echo "Site built in $site"
