#!/bin/sh
# The real exiftool, but every request reaches it WINDOW_SLOW_EXIFTOOL_MS
# (default 300) milliseconds late: a slow disk or a huge file.
delay=${WINDOW_SLOW_EXIFTOOL_MS:-300}
perl -e '$| = 1; my $s = $ARGV[0] / 1000.0; while (my $l = <STDIN>) { select(undef, undef, undef, $s) if $l =~ /^-execute/; print $l; }' "$delay" \
    | exec exiftool "$@"
