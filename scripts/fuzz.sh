#!/bin/sh
# Fuzzes the hand-written parsers with libFuzzer (clang, AddressSanitizer and
# UBSan), outside CI: builds every fuzz target (tests/fuzz/fuzz_*.cpp) in
# build-fuzz/ and runs them one after the other, [minutes] in all (default
# 10), each from its seed corpus tests/fuzz/corpus/<name>/. The inputs it
# finds go to $ORLAVO_FUZZ_DIR/<name>/ (default ~/.cache/orlavo-fuzz), outside
# the repository; an input that crashes goes to tests/fuzz/crashes/<name>/
# (to be moved into the seed corpus once the fault is mended), and so does
# one that runs longer than 2 s or takes more than 1 GB. Crashes do not stop
# the run.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
minutes="${1:-10}"
. "$root/scripts/deps.sh"
# shellcheck disable=SC2086
orlavo_install_missing $ORLAVO_PACKAGES $ORLAVO_FUZZ_PACKAGES

build="$root/build-fuzz"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
    -DORLAVO_LIBFUZZER=ON \
    "-DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer" \
    >/dev/null
names=""
for source in "$root"/tests/fuzz/fuzz_*.cpp; do
    names="$names $(basename "$source" .cpp | sed 's/^fuzz_//')"
done
count=$(echo $names | wc -w)
seconds=$((minutes * 60 / count))
for name in $names; do
    cmake --build "$build" -j "$(nproc)" --target "fuzz_$name"
done

found="${ORLAVO_FUZZ_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/orlavo-fuzz}"
ASAN_OPTIONS=detect_leaks=0:halt_on_error=1
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
TMPDIR="$build/tmp"
export ASAN_OPTIONS UBSAN_OPTIONS TMPDIR
mkdir -p "$TMPDIR"
status=0
for name in $names; do
    mkdir -p "$found/$name"
    echo "fuzz_$name: $seconds s, new inputs in $found/$name"
    mkdir -p "$root/tests/fuzz/crashes/$name"
    # -close_fd_mask=1: the reader's messages on standard output are not wanted.
    # An input that takes more than 2 s or 1 GB is kept like a crash
    # (timeout-..., oom-...): its work grows faster than its size. Inputs
    # of up to 64 KiB give such growth room to show; a dictionary
    # tests/fuzz/<name>.dict, where there is one, lends the target's markup.
    dict=""
    [ -f "$root/tests/fuzz/$name.dict" ] && dict="-dict=$root/tests/fuzz/$name.dict"
    # shellcheck disable=SC2086
    "$build/tests/fuzz_$name" -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
        -max_total_time="$seconds" -timeout=2 -rss_limit_mb=1024 -max_len=65536 -close_fd_mask=1 $dict \
        -artifact_prefix="$root/tests/fuzz/crashes/$name/" \
        "$found/$name" "$root/tests/fuzz/corpus/$name" || status=1
done
ls "$root"/tests/fuzz/crashes/*/* 2>/dev/null && echo "These inputs crashed."
exit $status
