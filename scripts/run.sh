#!/bin/sh
# Installs what is missing, builds Orlavo and starts it.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/deps.sh"
# shellcheck disable=SC2086
orlavo_install_missing $ORLAVO_PACKAGES

orlavo_build "$root"
exec "$root/build/orlavo" "$@"
