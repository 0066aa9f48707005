#!/usr/bin/perl
# Writes a 24-bit bottom-up BMP that looks roughly like a scanned page: a
# photo-like gradient block over lines of dark "text" on white; with "grey"
# every pixel has R = G = B, as the plug-in writes a grey scan.
#   make-bmp.pl WIDTH HEIGHT PIXELS_PER_METRE OUT.bmp [grey]
use strict;
use warnings;

my ($width, $height, $ppm, $out, $mode) = @ARGV;
die "usage: make-bmp.pl WIDTH HEIGHT PIXELS_PER_METRE OUT.bmp [grey]\n" unless defined $out;
my $grey = defined $mode && $mode eq 'grey';

my $stride = int(($width * 24 + 31) / 32) * 4;
my $padding = "\0" x ($stride - 3 * $width);
my $photoRows = int($height * 0.4);

# Rows repeat, so each distinct one is built once.
my %rows;
sub photo_row {
    my ($level) = @_;
    return $rows{"p$level"} //= join('', map {
        $grey ? pack('C', (($level + int(255 * $_ / $width)) / 2) % 256) x 3
              : pack('C3', 255 - $level, int(255 * $_ / $width), ($level + $_) % 256)    # B, G, R
    } 0 .. $width - 1) . $padding;
}
sub text_row {
    my ($line, $inLine) = @_;
    return $rows{"t$line.$inLine"} //= join('', map {
        my $ink = $inLine < 36 && $_ > $width / 12 && $_ < $width * 11 / 12
            && (($_ * 7 + $inLine * 3 + $line * 13) % 23) < 9;
        $ink ? "\x20\x20\x20" : $grey ? "\xFA\xFA\xFA" : "\xF8\xFA\xFB";
    } 0 .. $width - 1) . $padding;
}

open(my $fh, '>:raw', $out) or die "$out: $!\n";
my $pixelBytes = $stride * $height;
print $fh pack('a2 V v v V', 'BM', 54 + $pixelBytes, 0, 0, 54);
print $fh pack('V l l v v V V l l V V', 40, $width, $height, 1, 24, 0, $pixelBytes, $ppm, $ppm, 0, 0);
for (my $stored = 0; $stored < $height; ++$stored) {
    my $y = $height - 1 - $stored;
    print $fh $y < $photoRows
        ? photo_row(int(255 * $y / ($photoRows > 1 ? $photoRows - 1 : 1)))
        : text_row(int(($y - $photoRows) / 60) % 8, ($y - $photoRows) % 60);
}
close($fh) or die "$out: $!\n";
