#!/usr/bin/env bash
# Stamps a built site with its content, so that no browser mixes two builds:
# the service worker names its cache after the whole site's content, so a new
# build is cached anew and replaces what an installed copy keeps. (The style
# sheet and the pre-frame script are inside index.html, so no browser can keep
# an old one by its address.)
#   scripts/stamp-site.sh SITE_DIR
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
site=$1

version=$(cd "$site" && find . -maxdepth 1 -type f ! -name sw.js -print0 | sort -z |
    xargs -0 cat | sha256sum | cut -c1-16)
sed "s/@VERSION@/$version/" "$root/platform/web/site/sw.js" >"$site/sw.js"
