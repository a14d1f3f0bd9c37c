#!/bin/sh
# Installs the Debian packages the build, the program and the tests need,
# but only those that are missing. Sourced by run.sh, test.sh and fuzz.sh.

ORLAVO_PACKAGES="cmake g++ make qtbase5-dev qttools5-dev qttools5-dev-tools \
qttranslations5-l10n libimage-exiftool-perl fonts-freefont-ttf"
ORLAVO_TEST_PACKAGES="libgtest-dev libbenchmark-dev ffmpeg xvfb xauth python3 qt5-image-formats-plugins"
# Only scripts/fuzz.sh needs these: clang and its libFuzzer runtime.
ORLAVO_FUZZ_PACKAGES="clang-14 libclang-rt-14-dev"

orlavo_install_missing() {
    # One dpkg-query for all of them; a package it does not know is missing.
    installed=" $(dpkg-query -W -f='${Package} ${Status}\n' "$@" 2>/dev/null |
        awk '/ install ok installed$/ { printf "%s ", $1 }')"
    missing=""
    for p in "$@"; do
        case "$installed" in
        *" $p "*) ;;
        *) missing="$missing $p" ;;
        esac
    done
    [ -z "$missing" ] && return 0
    echo "Installing:$missing"
    if [ "$(id -u)" -eq 0 ]; then
        SUDO=""
    elif command -v sudo >/dev/null 2>&1; then
        SUDO="sudo"
    else
        echo "These packages are missing and neither root nor sudo is available:$missing" >&2
        return 1
    fi
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq || return 1
    # shellcheck disable=SC2086
    $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing || return 1
}

# orlavo_build <root> [target] [build folder] [compiler flags]: configures
# and builds the tree (in <root>/build unless told), or only the given target
# and what it needs.
orlavo_build() {
    root="$1"
    build_dir="${3:-$root/build}"
    cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${4:+"-DCMAKE_CXX_FLAGS=$4"} >/dev/null || return 1
    if [ -n "$2" ]; then
        cmake --build "$build_dir" -j "$(nproc)" --target "$2" || return 1
    else
        cmake --build "$build_dir" -j "$(nproc)" || return 1
    fi
}
