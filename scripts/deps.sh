#!/bin/sh
# Installs the Debian packages the build, the program and the tests need,
# but only those that are missing. Sourced by run.sh and test.sh.

ORLAVO_PACKAGES="cmake g++ make qtbase5-dev qttools5-dev qttools5-dev-tools \
qttranslations5-l10n libimage-exiftool-perl fonts-freefont-ttf"
ORLAVO_TEST_PACKAGES="libgtest-dev libbenchmark-dev ffmpeg xvfb xauth python3 qt5-image-formats-plugins"

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

# orlavo_build <root> [target]: configures and builds the tree, or only the
# given target and what it needs.
orlavo_build() {
    root="$1"
    cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || return 1
    if [ -n "$2" ]; then
        cmake --build "$root/build" -j "$(nproc)" --target "$2" || return 1
    else
        cmake --build "$root/build" -j "$(nproc)" || return 1
    fi
}
