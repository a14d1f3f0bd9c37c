#!/usr/bin/perl
# The real exiftool, with a fault after a write (a request holding
# "-overwrite_original_in_place"): the answer to the
# WINDOW_DYING_EXIFTOOL_WRITE-th write (default 1) is read from exiftool and
# dropped, then exiftool is killed and this script exits. Or, with
# WINDOW_DYING_EXIFTOOL_BLIND=1, nothing dies, but a read of the file that
# the request just before wrote is answered with nothing, as a read that
# failed. Every other answer is passed on unchanged.
use strict;
use warnings;
use IPC::Open2;

my $fatal = $ENV{WINDOW_DYING_EXIFTOOL_BLIND} ? 0 : $ENV{WINDOW_DYING_EXIFTOOL_WRITE} // 1;
my $pid = open2(my $from_child, my $to_child, 'exiftool', @ARGV) or die "cannot start exiftool: $!";
binmode $from_child;
binmode STDOUT;
$| = 1;
select((select($to_child), $| = 1)[0]);

my $writes = 0;
my (@block, $written);
while (my $line = <STDIN>) {
    last if $line eq "0\n" && @block && $block[-1] eq "-stay_open\n";
    push @block, $line;
    next unless $line =~ /^-execute(\d+)$/;
    my $marker = "{ready$1}";
    my ($file) = grep { m{^/} } @block;
    my $is_write = grep { $_ eq "-overwrite_original_in_place\n" } @block;
    my $dying = $is_write && ++$writes == $fatal;
    if (!$fatal && !$is_write && defined $file && defined $written && $file eq $written) {
        print "$marker\n";
    } else {
        print $to_child @block;
        # Pass the answer on up to and including its marker line.
        while (my $out = <$from_child>) {
            print $out unless $dying;
            last if index($out, $marker) == 0;
        }
    }
    if ($dying) {
        kill 'KILL', $pid;
        waitpid($pid, 0);
        exit 9;
    }
    $written = $is_write ? $file : undef;
    @block = ();
}
print $to_child "-stay_open\n0\n";
close $to_child;
waitpid($pid, 0);
