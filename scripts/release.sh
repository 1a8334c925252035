#!/usr/bin/env bash
# Builds every file handed out, from the last commit, into dist/:
#   poroten_<version>_amd64.deb           the Linux package
#   poroten-<version>-win64.zip           poroten.exe and its read-me, to unzip anywhere
#   poroten-<version>-win64-setup.exe     the Windows installer (per user)
#   poroten-<version>-web.zip             the web site, when scripts/build-web.sh exists
#   SHA256SUMS
# The sources are the committed tree (git archive HEAD), so uncommitted changes
# are left out, and every time stamp is the last commit's: two runs from the
# same commit give the same bytes.
#   scripts/release.sh [DIST_DIR]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dist=$(realpath -m "${1:-$root/dist}")
work=${RELEASE_WORK:-$root/build-release-files}

bash "$root/scripts/install-deps.sh" release

cd "$root"
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    echo "note: uncommitted changes are not part of the release; it is built from $(git rev-parse --short HEAD)"
fi
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH
export TZ=UTC LC_ALL=C.UTF-8

# A fresh copy of the commit at a fixed place; its files carry the commit's time.
rm -rf "$work"
mkdir -p "$work/src"
git archive --format=tar HEAD | tar -x -C "$work/src"
src=$work/src
version=$(sed -n 's/^project(poroten VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
[ -n "$version" ] || { echo "no version in CMakeLists.txt" >&2; exit 1; }
echo "== poroten $version from $(git rev-parse --short HEAD), time stamps $(date -u -d "@$SOURCE_DATE_EPOCH" +%FT%TZ)"

rm -rf "$dist"
mkdir -p "$dist"
# No build folder names in the programs.
export CFLAGS="-ffile-prefix-map=$work=."
export CXXFLAGS="-ffile-prefix-map=$work=."

# Sets every file's time below the folder to the commit's.
settle_times() {
    find "$1" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
}

# zip_folder ZIP FOLDER PREFIX: the folder's files under PREFIX/ in the zip,
# sorted, with the commit's time and fixed permissions.
zip_folder() {
    python3 - "$@" <<'PY'
import os, sys, time, zipfile
out, folder, prefix = sys.argv[1:4]
stamp = time.gmtime(max(int(os.environ["SOURCE_DATE_EPOCH"]), 315532800))[:6]
names = []
for top, dirs, files in os.walk(folder):
    names += [os.path.relpath(os.path.join(top, f), folder) for f in files]
with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
    for name in sorted(names):
        info = zipfile.ZipInfo(prefix + "/" + name.replace(os.sep, "/"), date_time=stamp)
        info.compress_type = zipfile.ZIP_DEFLATED
        info.create_system = 3  # Unix, so that the permissions below are read
        info.external_attr = 0o100644 << 16
        with open(os.path.join(folder, name), "rb") as f:
            z.writestr(info, f.read(), compresslevel=9)
PY
}

echo "== Linux: the .deb"
linux=$work/linux
# Debian's usual hardening: checked buffers, stack protector, read-only relocations.
CXXFLAGS="$CXXFLAGS -D_FORTIFY_SOURCE=2 -fstack-protector-strong" LDFLAGS="-Wl,-z,relro,-z,now" \
    cmake -S "$src" -B "$linux" -DCMAKE_BUILD_TYPE=Release -DPOROTEN_TESTS=OFF >/dev/null
cmake --build "$linux" -j2
(cd "$linux" && cpack -G DEB -B "$linux/cpack" >/dev/null)
# cpack stamps files with their build times; the package is laid out again
# with the commit's time on every file, sorted, owned by root.
deb=$dist/poroten_${version}_amd64.deb
tree=$work/deb-tree
dpkg-deb -R "$linux"/cpack/poroten_*.deb "$tree"
find "$tree" -type d -exec chmod 0755 {} +
settle_times "$tree"
dpkg-deb --root-owner-group -Zxz --threads-max=1 -b "$tree" "$deb" >/dev/null
appstreamcli validate --no-net "$tree"/usr/share/metainfo/*.metainfo.xml
lintian --fail-on error "$deb"

echo "== Windows: poroten.exe"
win=$work/win
cmake -S "$src" -B "$win" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DPOROTEN_WIN32=ON -DPOROTEN_QT=OFF -DPOROTEN_TESTS=OFF >/dev/null
cmake --build "$win" --target poroten -j2
exe=$win/app/poroten.exe

# The read-me files the build wrote, as Windows' Notepad likes them: UTF-8
# with a BOM, CRLF.
docs=$work/win-docs
mkdir -p "$docs"
for doc in "はじめに.txt" README.txt; do
    { printf '\xef\xbb\xbf'; sed -e "s/@VERSION@/$version/g" -e 's/$/\r/' "$win/packaging/windows/$doc"; } \
        >"$docs/$doc"
done
# The licence, with the notices of the runtime linked into the program.
cat "$src/LICENSE" "$src/packaging/third-party/windows.txt" | sed -e 's/$/\r/' >"$docs/LICENSE.txt"

echo "== Windows: the zip"
folder=$work/zip/poroten-$version-win64
mkdir -p "$folder"
cp "$exe" "$docs"/* "$folder"/
zip_folder "$dist/poroten-$version-win64.zip" "$folder" "poroten-$version-win64"

echo "== Windows: the installer"
publisher=$(sed -n 's/^#define POROTEN_PUBLISHER "\(.*\)"$/\1/p' "$win/generated/poroten_version.h")
settle_times "$docs"
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DPUBLISHER="$publisher" -DEXE="$exe" \
    -DDOCS="$docs" -DICON="$src/app/icons/poroten.ico" \
    -DOUTFILE="$dist/poroten-$version-win64-setup.exe" "$src/packaging/windows/poroten.nsi"

if [ -f "$src/scripts/build-web.sh" ]; then
    echo "== the web site"
    (cd "$src" && bash scripts/build-web.sh)
    # The licence travels in the zip only; the site itself need not serve it.
    site=$work/web-site
    cp -r "$src/build-web/site" "$site"
    cat "$src/LICENSE" "$src/packaging/third-party/web.txt" >"$site/LICENSE"
    settle_times "$site"
    zip_folder "$dist/poroten-$version-web.zip" "$site" "poroten-$version-web"
else
    echo "== the web site: skipped, this commit has no scripts/build-web.sh"
fi

(cd "$dist" && find . -maxdepth 1 -type f ! -name SHA256SUMS -printf '%f\n' | sort |
    xargs -d '\n' sha256sum >SHA256SUMS)
echo
echo "release files in $dist:"
(cd "$dist" && for f in *; do printf '  %10d  %s\n' "$(stat -c %s "$f")" "$f"; done)
cat "$dist/SHA256SUMS"
