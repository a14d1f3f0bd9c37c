#!/usr/bin/perl
# Stand-in for "exiftool -stay_open 1 -@ -" that misbehaves on request.
# Every block of argument lines up to "-executeN" is one request; a line
# whose last path component is one of the words below changes the answer:
#   echo:TEXT    answer "-Echo=TEXT"
#   big:N        answer at least N bytes of tag lines
#   split        answer with its ready marker split over two writes
#   splitcr      marker split between its carriage return and line feed
#   crlf         end the answer with "{readyN}\r\n"
#   trailing     write a line after the marker (front of the next answer)
#   fakemarker   tag values holding the marker text, not at a line start
#   dup          repeated, empty, blank-padded and malformed lines
#   nul          a value with a NUL byte inside
#   hang         never answer this request
#   late:MS      answer after MS milliseconds
#   die          exit without answering
#   crash        end by SIGSEGV without answering
#   stderr:TEXT  write TEXT to standard error
# Any other block is answered with "-Args=" and its lines joined by "|",
# and "-Program=" with the path this script was started as.
# FAKE_EXIFTOOL_IGNORE_CLOSE=1: ignore the close command and SIGTERM.
# FAKE_EXIFTOOL_BANNER: text written to standard output at start.
use strict;
use warnings;

$| = 1;
binmode STDOUT;
binmode STDIN;
my $ignore_close = ($ENV{FAKE_EXIFTOOL_IGNORE_CLOSE} // '') eq '1';
$SIG{TERM} = 'IGNORE' if $ignore_close;
print $ENV{FAKE_EXIFTOOL_BANNER} if defined $ENV{FAKE_EXIFTOOL_BANNER};

sub pause { select(undef, undef, undef, $_[0] / 1000.0); }

my @block;
my $last = '';
while (defined(my $line = <STDIN>)) {
    chomp $line;
    if ($last eq '-stay_open' && $line eq '0') {
        exit 0 unless $ignore_close;
        $last = '';
        @block = ();
        next;
    }
    $last = $line;
    if ($line =~ /^-execute(-?\d*)$/) {
        answer($1, @block);
        @block = ();
        next;
    }
    push @block, $line if length $line and $line ne '-stay_open';
}
exit 0;

sub answer {
    my ($id, @lines) = @_;
    my $marker = "{ready$id}";
    my $end = "\n";
    my $after = '';
    my $body = '';
    for my $arg (@lines) {
        (my $word = $arg) =~ s{.*/}{};
        if ($word =~ /^echo:(.*)$/) { $body .= "-Echo=$1\n"; }
        elsif ($word =~ /^big:(\d+)$/) {
            my $n = 0;
            while (length($body) < $1) { $body .= sprintf("-Big%05d=%s\n", $n++, 'x' x 90); }
        }
        elsif ($word eq 'split') {
            print "$body-Split=1\n{rea";
            pause(200);
            print "dy$id}\n";
            return;
        }
        elsif ($word eq 'splitcr') {
            print "$body-Split=2\n$marker\r";
            pause(200);
            print "\n";
            return;
        }
        elsif ($word eq 'crlf') { $end = "\r\n"; $body .= "-Crlf=1\r\n"; }
        elsif ($word eq 'trailing') { $after = "-Trailing=1\n"; }
        elsif ($word eq 'fakemarker') {
            $body .= "-Directory=/photos/$marker\n-Comment=x$marker\n$marker" . "x\n-After=1\n";
        }
        elsif ($word eq 'dup') {
            $body .= "-Dup=1\n-Dup=2\n-NoEquals\n\n=empty key\n-Spaced=  in side  \n-Empty=\n";
        }
        elsif ($word eq 'nul') { $body .= "-Nul=a\0b\n-Hidden=1\n"; }
        elsif ($word eq 'hang') { return; }
        elsif ($word =~ /^late:(\d+)$/) { pause($1); $body .= "-Late=$1\n"; }
        elsif ($word eq 'die') { exit 3; }
        elsif ($word eq 'crash') { kill 'SEGV', $$; pause(1000); }
        elsif ($word =~ /^stderr:(.*)$/) { print STDERR "$1\n"; }
    }
    $body = "-Args=" . join('|', @lines) . "\n-Program=$0\n" if $body eq '';
    print $body, $marker, $end, $after;
}
