#!/usr/bin/env bash
# Stamps a built site with its content, so that no browser mixes two builds:
#   - index.html asks for the style sheet at an address that carries the
#     sheet's hash: Firefox keeps style sheets in memory by address, for as
#     long as the host allows, and hands them to the next page without asking
#     the service worker;
#   - the service worker names its cache after the whole site's content, so
#     a new build is cached anew and replaces what an installed copy keeps.
#   scripts/stamp-site.sh SITE_DIR
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
site=$1

sheet=$(sha256sum "$site/poroten.css" | cut -c1-16)
sed -i "s|href=\"poroten\.css[^\"]*\"|href=\"poroten.css?$sheet\"|" "$site/index.html"
version=$(cd "$site" && find . -maxdepth 1 -type f ! -name sw.js -print0 | sort -z |
    xargs -0 cat | sha256sum | cut -c1-16)
sed "s/@VERSION@/$version/" "$root/platform/web/site/sw.js" >"$site/sw.js"
