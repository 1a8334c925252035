# Shared by build-windows.sh, test-windows.sh and test-release.sh: configuring
# the cross build, and Wine sessions to run its programs in.

# configure_windows_build BUILD_DIR [CMAKE ARGS...]
configure_windows_build() {
    local build=$1
    shift
    cmake -S "$root" -B "$build" \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=Release \
        -DPOROTEN_WIN32=ON -DPOROTEN_QT=OFF \
        "$@" >/dev/null
}

# build_windows_tests BUILD_DIR [TARGET...]: the cross build with its tests,
# run under Wine, built (all of it, or the targets named) under a lock, since
# the Windows suite and the release checks both want programs from it.
build_windows_tests() {
    local build=$1
    shift
    mkdir -p "$build"
    (
        flock 9
        configure_windows_build "$build" -DPOROTEN_TESTS=ON -DCMAKE_CROSSCOMPILING_EMULATOR=wine
        cmake --build "$build" -j2 ${1:+--target "$@"}
    ) 9>"$build/.lock"
}

# wine_template: a Wine prefix with the test fonts and settings, made once
# for every suite (under a lock, as suites run side by side) and copied by
# each into a prefix of its own: making one takes Wine half a minute.
wine_template() {
    local template=$root/build-wine-prefix
    local stamp
    stamp=$(sha256sum <"$root/tests/win32/wine-prefix.reg" | cut -c1-16)
    mkdir -p "$template"
    (
        flock 9
        if [ "$(cat "$template/prefix/.poroten-ready" 2>/dev/null)" != "$stamp" ]; then
            echo "creating the Wine prefix $template/prefix"
            export WINEPREFIX=$template/prefix
            rm -rf "$WINEPREFIX"
            wineboot -i >/dev/null 2>&1
            local reg
            reg=$(mktemp --suffix=.reg)
            { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$root/tests/win32/wine-prefix.reg"; } >"$reg"
            wine regedit /S "$(winepath -w "$reg")" >/dev/null 2>&1
            rm -f "$reg"
            wineserver -w
            echo "$stamp" >"$WINEPREFIX/.poroten-ready"
        fi
    ) 9>"$template/lock"
    wine_template_prefix=$template/prefix
}

# start_wine_session PREFIX: quiet, non-interactive Wine in the given prefix
# (a copy of the template when missing or out of date), on a virtual X screen
# of its own, with one persistent Wine session. Exports WINEPREFIX and
# DISPLAY; undo with stop_wine_session.
xvfb_pid=
start_wine_session() {
    export WINEPREFIX=$1 WINEARCH=win64 WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono or Gecko installer prompts

    # A screen of our own: Xvfb takes the first display number nobody holds
    # and says which, so that suites starting at once never pick the same.
    local said
    said=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$said" >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        grep -q . "$said" && break
        sleep 0.1
    done
    export DISPLAY=":$(head -n1 "$said")"
    rm -f "$said"
    [ "$DISPLAY" != ":" ] || { echo "Xvfb did not start" >&2; return 1; }

    wine_template
    if [ "$(cat "$WINEPREFIX/.poroten-ready" 2>/dev/null)" != "$(cat "$wine_template_prefix/.poroten-ready")" ]; then
        rm -rf "$WINEPREFIX"
        mkdir -p "$(dirname "$WINEPREFIX")"
        cp -a "$wine_template_prefix" "$WINEPREFIX"
    fi
    # One Wine session for the whole run, started here so that its background
    # services hold no test's output pipe open (ctest would wait on them).
    wineserver -p
    wine cmd /c exit >/dev/null 2>&1 </dev/null
}

stop_wine_session() {
    [ -n "$xvfb_pid" ] || return 0
    wineserver -k 2>/dev/null || true
    kill "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
}
