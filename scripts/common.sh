# Shared by ./run and ./test: install what is missing, then configure and build.
# shellcheck shell=bash

TESSARY_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
TESSARY_PACKAGES=(qt6-base-dev libjpeg-dev libpng-dev libtiff-dev zlib1g-dev nlohmann-json3-dev
                  googletest libgtest-dev libbenchmark-dev xvfb xauth cmake g++ make)
JOBS="$(nproc 2>/dev/null || echo 2)"

ensure_packages() {
    local missing=()
    local p
    for p in "${TESSARY_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Tessary needs these Debian packages: ${missing[*]}" >&2
        echo "Install them with:" >&2
        echo "  sudo apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
    echo "Installing ${missing[*]} ..." >&2
    export DEBIAN_FRONTEND=noninteractive
    if ! apt-get install -y --no-install-recommends "${missing[@]}"; then
        apt-get update && apt-get install -y --no-install-recommends "${missing[@]}"
    fi
}

# build DIR [cmake options...] -- [targets...]
build_tree() {
    local dir="$1"; shift
    local options=() targets=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do options+=("$1"); shift; done
    [ "${1:-}" = "--" ] && shift
    targets=("$@")
    if [ ! -f "$TESSARY_ROOT/$dir/CMakeCache.txt" ]; then
        cmake -S "$TESSARY_ROOT" -B "$TESSARY_ROOT/$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}"
    fi
    if [ ${#targets[@]} -gt 0 ]; then
        cmake --build "$TESSARY_ROOT/$dir" -j "$JOBS" --target "${targets[@]}"
    else
        cmake --build "$TESSARY_ROOT/$dir" -j "$JOBS"
    fi
}
