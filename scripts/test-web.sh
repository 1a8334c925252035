#!/usr/bin/env bash
# The browser build's tests:
#   - the core tests, the code page contract and the localStorage record,
#     compiled with Emscripten and run under Node (ctest's emulator), as the
#     Windows build's run under Wine; the window, timer and box contracts and
#     the page's own window cases in a page in headless Chromium;
#   - the site built in the same tree (with the site's own options), played in
#     a real headless Chromium, in Firefox ESR (over WebDriver BiDi, by
#     puppeteer-core) and in WebKitGTK (WebKitWebDriver on a virtual display),
#     the three side by side: tests/web/e2e.
# Installs what is missing; builds in build-web-test/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tests_build=${TESTS_BUILD_DIR:-$root/build-web-test}
# shellcheck source=scripts/sections.sh
source "$root/scripts/sections.sh"

bash "$root/scripts/install-deps.sh" web
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

# The pinned npm packages, fetched while the build runs.
npm_out=$(mktemp)
bash "$root/scripts/web-npm.sh" axe-core@4.10.2 puppeteer-core@24.10.2 >"$npm_out" &
npm_pid=$!

trap lanes_stop EXIT
trap 'exit 143' INT TERM

section "web: build (the tests and the site, Emscripten)"
priority build
# MinSizeRel, as the site is built: one tree serves the tests and the site.
WEB_TESTS=ON BUILD_DIR=$tests_build bash "$root/scripts/build-web.sh"
cmake --build "$tests_build" -j2
site=$tests_build/site

section "web: core and web adapter tests, under Node and in Chromium"
priority test
(cd "$tests_build" && ctest --output-on-failure -j2)
section_end

wait "$npm_pid"
modules=$(cat "$npm_out")
rm -f "$npm_out"
# The game's texts, colours, sizes, times and record, as the build wrote them.
export POROTEN_FACTS=$tests_build/game_facts.json
export POROTEN_AXE=$modules/axe-core/axe.min.js
# Debian's Python: the one python3-selenium is installed for. Each browser
# has its own profiles and server ports, so the three run side by side.
cd /tmp
lane web-chromium \
    /usr/bin/python3 "$root/tests/web/e2e/web_e2e.py" "$site" -j "${CHROMIUM_JOBS:-3}"
lane web-firefox \
    node "$root/tests/web/e2e/firefox_e2e.mjs" "$site" "$modules" -j "${FIREFOX_JOBS:-2}"
lane web-webkit \
    xvfb-run -a /usr/bin/python3 "$root/tests/web/e2e/engines_e2e.py" "$site"
lanes_wait
