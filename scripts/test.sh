#!/bin/sh
# Installs what is missing, builds Orlavo and runs every test headless.
# --sanitize: the same, built with AddressSanitizer and UndefinedBehavior-
# Sanitizer in build-sanitize/; any error they find stops the program.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/deps.sh"
# shellcheck disable=SC2086
orlavo_install_missing $ORLAVO_PACKAGES $ORLAVO_TEST_PACKAGES
case "$1" in
--sanitize)
    build="$root/build-sanitize"
    orlavo_build "$root" "" "$build" \
        "-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
    # Qt keeps allocations until exit: leaks are not counted.
    ASAN_OPTIONS=detect_leaks=0:halt_on_error=1
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
    export ASAN_OPTIONS UBSAN_OPTIONS
    ;;
"")
    build="$root/build"
    orlavo_build "$root"
    ;;
*)
    echo "usage: $0 [--sanitize]" >&2
    exit 2
    ;;
esac
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" --timeout 300
