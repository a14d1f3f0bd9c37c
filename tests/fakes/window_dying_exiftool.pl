#!/usr/bin/perl
# The real exiftool, killed after it did a write but before its answer
# arrives: the answer to the WINDOW_DYING_EXIFTOOL_WRITE-th write request
# (default 1; a request holding "-overwrite_original_in_place") is read from
# exiftool and dropped, then exiftool is killed and this script exits.
# Every other answer is passed on unchanged.
use strict;
use warnings;
use IPC::Open2;

my $fatal = $ENV{WINDOW_DYING_EXIFTOOL_WRITE} // 1;
my $pid = open2(my $from_child, my $to_child, 'exiftool', @ARGV) or die "cannot start exiftool: $!";
binmode $from_child;
binmode STDOUT;
$| = 1;
select((select($to_child), $| = 1)[0]);

my $writes = 0;
my $is_write = 0;
while (my $line = <STDIN>) {
    print $to_child $line;
    $is_write = 1 if $line =~ /^-overwrite_original_in_place$/;
    next unless $line =~ /^-execute(\d+)$/;
    my $marker = "{ready$1}";
    my $dying = $is_write && ++$writes == $fatal;
    $is_write = 0;
    # Pass the answer on up to and including its marker line.
    while (my $out = <$from_child>) {
        print $out unless $dying;
        last if index($out, $marker) == 0;
    }
    if ($dying) {
        kill 'KILL', $pid;
        waitpid($pid, 0);
        exit 9;
    }
}
print $to_child "-stay_open\nFalse\n";
close $to_child;
waitpid($pid, 0);
