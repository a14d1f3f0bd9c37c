#!/usr/bin/perl
# The real exiftool, but a read of the file that the request just before
# wrote (a request holding "-overwrite_original_in_place") fails: it is
# answered with nothing and not passed on. So a file cannot be read right
# after a write of it. Every other request goes through unchanged.
use strict;
use warnings;
use IPC::Open2;

my $pid = open2(my $from_child, my $to_child, 'exiftool', @ARGV) or die "cannot start exiftool: $!";
binmode $from_child;
binmode STDOUT;
$| = 1;
select((select($to_child), $| = 1)[0]);

my @block;
my $written = ''; # the file of the last request, when it was a write
while (my $line = <STDIN>) {
    last if $line =~ /^0$/ && @block && $block[-1] =~ /^-stay_open$/;
    push @block, $line;
    next unless $line =~ /^-execute(\d+)$/;
    my $marker = "{ready$1}";
    my ($file) = grep { m{^/} } @block;
    $file //= '';
    my $write = grep { /^-overwrite_original_in_place$/ } @block;
    if (!$write && $file ne '' && $file eq $written) {
        print "$marker\n";
    } else {
        print $to_child @block;
        while (my $out = <$from_child>) {
            print $out;
            last if index($out, $marker) == 0;
        }
    }
    $written = $write ? $file : '';
    @block = ();
}
print $to_child "-stay_open\n0\n";
close $to_child;
waitpid($pid, 0);
