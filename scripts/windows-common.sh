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
