#!/bin/sh
# Installs what is missing, builds Orlavo and runs every test headless.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/deps.sh"
# shellcheck disable=SC2086
orlavo_install_missing $ORLAVO_PACKAGES $ORLAVO_TEST_PACKAGES
orlavo_build "$root"
cd "$root/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" --timeout 300
