#!/bin/sh
# Installs what is missing, builds the program (not the tests) and starts it.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/deps.sh"
# shellcheck disable=SC2086
orlavo_install_missing $ORLAVO_PACKAGES

orlavo_build "$root" orlavo
exec "$root/build/orlavo" "$@"
