# Shared by ./run and ./test: install what is missing, then configure and build.
# shellcheck shell=bash

TESSARY_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# fonts-urw-base35: text tests need a font whose line spacing includes leading; poppler-utils:
# print tests rasterise the PDF pages they print.
TESSARY_PACKAGES=(qt6-base-dev libjpeg-dev libpng-dev libtiff-dev zlib1g-dev liblcms2-dev nlohmann-json3-dev libcli11-dev
                  googletest libgtest-dev libbenchmark-dev xvfb xauth cmake g++ make
                  fonts-urw-base35 poppler-utils desktop-file-utils appstream help2man)
# Metadata kept in saved pictures.
TESSARY_PACKAGES+=(libexiv2-dev)
JOBS="$(nproc 2>/dev/null || echo 2)"

# ensure_packages [package...]: the given packages, or those of the everyday build.
ensure_packages() {
    local wanted=("$@")
    [ ${#wanted[@]} -eq 0 ] && wanted=("${TESSARY_PACKAGES[@]}")
    local missing=()
    local p
    for p in "${wanted[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$p")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    if [ "$(id -u)" -ne 0 ]; then
        echo "Tessary needs these Debian packages: ${missing[*]}" >&2
        echo "Install them with:" >&2
        echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
        exit 1
    fi
    echo "Installing ${missing[*]} ..." >&2
    export DEBIAN_FRONTEND=noninteractive
    # A fresh machine has no package lists yet (or stale ones): read them before installing.
    apt-get update
    apt-get install -y --no-install-recommends "${missing[@]}"
}

# The options of the everyday build/ tree, given every time so that a tree configured otherwise
# by hand comes back to them. CI never runs the benchmarks, so it does not build them.
TESSARY_BENCH=ON
if [ "${CI:-}" = "true" ]; then TESSARY_BENCH=OFF; fi
FULL_BUILD_OPTIONS=(-DTESSARY_CORE_ONLY=OFF -DTESSARY_SANITIZE=OFF -DTESSARY_FUZZ=OFF -DTESSARY_BENCH="$TESSARY_BENCH")

# build DIR [cmake options...] -- [targets...]
# The configure step always runs: it is quick on a configured tree, it repairs a tree whose
# last configure failed, and it carries changed options into an existing tree.
build_tree() {
    local dir="$1"; shift
    local options=() targets=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do options+=("$1"); shift; done
    [ "${1:-}" = "--" ] && shift
    targets=("$@")
    cmake -S "$TESSARY_ROOT" -B "$TESSARY_ROOT/$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
    if [ ${#targets[@]} -gt 0 ]; then
        cmake --build "$TESSARY_ROOT/$dir" -j "$JOBS" --target "${targets[@]}"
    else
        cmake --build "$TESSARY_ROOT/$dir" -j "$JOBS"
    fi
}

# ./run shows a window: without a display, say how to get one before spending time on a build.
require_display() {
    if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ] || [ -n "${QT_QPA_PLATFORM:-}" ]; then
        return 0
    fi
    echo "There is no display to show Tessary on (DISPLAY and WAYLAND_DISPLAY are not set)." >&2
    echo "Run it under a virtual display instead:  xvfb-run -a ./run" >&2
    if ! command -v xvfb-run >/dev/null 2>&1; then
        echo "(xvfb-run comes with the Debian package xvfb:  apt-get install -y xvfb xauth)" >&2
    fi
    exit 1
}
