#!/usr/bin/perl
# The real exiftool, but every request reaches it WINDOW_SLOW_EXIFTOOL_MS
# (default 300) milliseconds late: a slow disk or a huge file. The real
# exiftool is told to leave when this script's input ends or it is asked to
# stop, so none is left behind.
use strict;
use warnings;

my $delay = ($ENV{WINDOW_SLOW_EXIFTOOL_MS} // 300) / 1000.0;
my $pid = open(my $child, '|-', 'exiftool', @ARGV) or die "cannot start exiftool: $!";
select((select($child), $| = 1)[0]);
my $stopped = 0;
my $stop = sub {
    return if $stopped++;
    print $child "-stay_open\nFalse\n";
    close $child;
    exit 0;
};
$SIG{TERM} = $stop;
$SIG{INT} = $stop;
$SIG{HUP} = $stop;
$SIG{PIPE} = $stop;
while (my $line = <STDIN>) {
    select(undef, undef, undef, $delay) if $line =~ /^-execute/;
    print $child $line;
}
$stop->();
