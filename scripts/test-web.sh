#!/usr/bin/env bash
# The browser build's tests:
#   - the core tests, the code page contract and the localStorage record,
#     compiled with Emscripten and run under Node (ctest's emulator), as the
#     Windows build's run under Wine; the window, timer and box contracts and
#     the page's own window cases in a page in headless Chromium;
#   - the built site in a real headless Chromium, in Firefox ESR (over
#     WebDriver BiDi, by puppeteer-core) and in WebKitGTK (WebKitWebDriver on
#     a virtual display): tests/web/e2e.
# Installs what is missing; builds in build-web-test/ and build-web/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tests_build=${TESTS_BUILD_DIR:-$root/build-web-test}

bash "$root/scripts/install-deps.sh" only emscripten nodejs cmake make g++ libc-bin googletest \
    libgtest-dev libssl-dev python3 python3-selenium chromium chromium-driver imagemagick \
    fonts-ipafont-gothic firefox-esr webkit2gtk-driver xvfb xauth
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

echo "== core and web adapter tests, compiled with Emscripten, under Node and in Chromium"
emcmake cmake -S "$root" -B "$tests_build" -DCMAKE_BUILD_TYPE=Release -DPOROTEN_WERROR=ON \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v node)" >/dev/null
cmake --build "$tests_build" -j2
(cd "$tests_build" && ctest --output-on-failure -j2)

echo "== the site in headless Chromium"
bash "$root/scripts/build-web.sh"
# The game's texts, colours, sizes, times and record, as the build wrote them.
export POROTEN_FACTS=$tests_build/game_facts.json
modules=$(bash "$root/scripts/web-npm.sh" axe-core@4.10.2 puppeteer-core@24.10.2)
export POROTEN_AXE=$modules/axe-core/axe.min.js
# Debian's Python: the one python3-selenium is installed for.
site=${BUILD_DIR:-$root/build-web}/site
(cd /tmp && /usr/bin/python3 "$root/tests/web/e2e/web_e2e.py" "$site")

echo "== the site in Firefox ESR"
(cd /tmp && node "$root/tests/web/e2e/firefox_e2e.mjs" "$site" "$modules")

echo "== the site in WebKitGTK"
(cd /tmp && xvfb-run -a /usr/bin/python3 "$root/tests/web/e2e/engines_e2e.py" "$site" </dev/null)
