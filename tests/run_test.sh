#!/bin/sh
# Runs one test program in an environment of its own: nothing it does can
# reach the real user's home, settings or ExifTool configuration.
set -e
root=$(mktemp -d "${TMPDIR:-/tmp}/orlavo-test.XXXXXX")
trap 'rm -rf "$root"' EXIT INT TERM
mkdir -p "$root/home" "$root/config" "$root/runtime" "$root/exiftool" "$root/tmp"
chmod 700 "$root/runtime"
HOME="$root/home"
XDG_CONFIG_HOME="$root/config"
XDG_RUNTIME_DIR="$root/runtime"
XDG_DATA_HOME="$root/home/.local/share"
XDG_CACHE_HOME="$root/home/.cache"
EXIFTOOL_HOME="$root/exiftool"
TMPDIR="$root/tmp"
TZ="${ORLAVO_TEST_TZ:-Europe/Berlin}"
LC_ALL=C.UTF-8
LANG=C.UTF-8
QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
export HOME XDG_CONFIG_HOME XDG_RUNTIME_DIR XDG_DATA_HOME XDG_CACHE_HOME EXIFTOOL_HOME TMPDIR TZ LC_ALL LANG QT_QPA_PLATFORM
unset ORLAVO_EXIFTOOL LANGUAGE
cd "$root/tmp"
"$@"
