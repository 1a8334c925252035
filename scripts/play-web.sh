#!/usr/bin/env bash
# Builds the browser version and serves it on http://127.0.0.1:8080/ until
# stopped with Ctrl+C. Open that address in a browser (a phone on the same
# network needs a secure address for offline play; 127.0.0.1 counts as one).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bash "$root/scripts/build-web.sh"
port=${PORT:-8080}
echo "Serving on http://127.0.0.1:$port/ (Ctrl+C stops)"
exec python3 "$root/scripts/serve-web.py" --port "$port" "${BUILD_DIR:-$root/build-web}/site"
