#!/usr/bin/env bash
# Installs the named npm packages, pinned, into one folder outside the source
# (NPM_DIR, default build-web-npm/) and prints that folder's node_modules.
#   scripts/web-npm.sh axe-core@4.10.2 puppeteer-core@23.11.1
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dir=${NPM_DIR:-$root/build-web-npm}
mkdir -p "$dir"
missing=()
for p in "$@"; do
    name=${p%@*}
    version=${p##*@}
    have=$(node -p "try { require('$dir/node_modules/$name/package.json').version } catch (e) { '' }")
    [ "$have" = "$version" ] || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    [ -f "$dir/package.json" ] || echo '{"private": true}' >"$dir/package.json"
    npm install --prefix "$dir" --no-audit --no-fund --loglevel=error --save-exact "${missing[@]}" >&2
fi
echo "$dir/node_modules"
