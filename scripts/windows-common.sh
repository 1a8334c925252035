# Shared by build-windows.sh and test-windows.sh: installs and configuring.

# ensure_packages COMMAND:PACKAGE...: installs each package whose command is missing.
ensure_packages() {
    local missing=() pair
    for pair in "$@"; do
        if ! command -v "${pair%%:*}" >/dev/null 2>&1; then
            missing+=("${pair#*:}")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    install_packages "${missing[@]}"
}

# install_packages PACKAGE...: apt-get, through sudo when not root.
install_packages() {
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    echo "installing: $*"
    if [ -z "${POROTEN_APT_UPDATED:-}" ]; then
        "${sudo[@]}" apt-get update -qq
        POROTEN_APT_UPDATED=1
    fi
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}

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
