# Shared by build-windows.sh and test-windows.sh: configuring the cross build.

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

# start_wine_session PREFIX: quiet, non-interactive Wine in the given prefix
# (created with the test fonts when missing), on a virtual X screen of its
# own, with one persistent Wine session. Exports WINEPREFIX and DISPLAY; undo
# with stop_wine_session.
xvfb_pid=
start_wine_session() {
    export WINEPREFIX=$1 WINEARCH=win64 WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="   # no Mono or Gecko installer prompts

    # A screen of our own: the first display number nobody holds.
    local display=90
    while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
        display=$((display + 1))
    done
    Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -e "/tmp/.X11-unix/X$display" ] && break
        sleep 0.1
    done
    export DISPLAY=":$display"

    if [ ! -f "$WINEPREFIX/.poroten-ready" ]; then
        echo "creating the Wine prefix $WINEPREFIX"
        rm -rf "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1
        local reg
        reg=$(mktemp --suffix=.reg)
        { printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$root/tests/win32/wine-prefix.reg"; } >"$reg"
        wine regedit /S "$(winepath -w "$reg")" >/dev/null 2>&1
        rm -f "$reg"
        wineserver -w
        touch "$WINEPREFIX/.poroten-ready"
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
