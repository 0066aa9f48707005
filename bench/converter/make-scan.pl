#!/usr/bin/perl
# Writes a 24-bit bottom-up BMP that looks like a colour scan of a printed
# text page: dark glyph strokes on slightly cream paper, each channel with
# the sensor's noise, and a contact-image sensor's one-pixel fringes, red
# left of each stroke and blue right of it. With "grey" every pixel is the
# luma of the same pixel (R = G = B), the page as a grey scan sends it.
#   make-scan.pl WIDTH HEIGHT PIXELS_PER_METRE NOISE OUT.bmp [grey]
use strict;
use warnings;

my ($width, $height, $ppm, $noise, $out, $mode) = @ARGV;
die "usage: make-scan.pl WIDTH HEIGHT PIXELS_PER_METRE NOISE OUT.bmp [grey]\n" unless defined $out;
my $grey = defined $mode && $mode eq 'grey';
srand(34);

my $stride = int(($width * 24 + 31) / 32) * 4;
my $padding = "\0" x ($stride - 3 * $width);
my @paper = (250, 247, 238);    # R, G, B
my $fringe = 50;
my $pitch = int($height / 66);  # 66 lines of text
my $glyph = int($pitch * 0.55);

# A roughly normal deviate: four uniforms summed.
sub gauss { return (rand() + rand() + rand() + rand() - 2) * $noise * 1.732; }

# Whether the pixel is ink: words of glyphs of 2/3 of the pitch, strokes a
# sixth of the glyph wide.
my $stroke = $glyph > 12 ? int($glyph / 6) : 2;
sub ink {
    my ($x, $line, $inLine) = @_;
    return 0 if $inLine >= $glyph || $x < $width / 12 || $x >= $width * 11 / 12;
    my $cell = $glyph * 0.7;
    my $word = int($x / ($cell * 6));
    return 0 if ($word * 7 + $line * 3) % 9 == 0;    # the gaps between words
    my $in = $x - int($x / $cell) * $cell;
    return $in < $stroke || ($inLine < $stroke && $in < $cell * 0.7)
        || ($inLine >= $glyph - $stroke && $in < $cell * 0.7)
        || (($line + int($x / $cell)) % 3 == 0 && $in >= $cell * 0.55 && $in < $cell * 0.55 + $stroke);
}

open(my $fh, '>:raw', $out) or die "$out: $!\n";
print $fh pack('a2 V v v V', 'BM', 54 + $stride * $height, 0, 0, 54);
print $fh pack('V l l v v V V l l V V', 40, $width, $height, 1, 24, 0, $stride * $height, $ppm, $ppm, 0, 0);
for (my $y = $height - 1; $y >= 0; --$y) {
    my $line = int($y / $pitch);
    my $inLine = $y % $pitch;
    my @inks = map { ink($_, $line, $inLine) } 0 .. $width;
    my $row = '';
    for my $x (0 .. $width - 1) {
        my @rgb = $inks[$x] ? (24, 24, 24) : @paper;
        if (!$inks[$x] && $inks[$x + 1]) {
            @rgb = ($rgb[0] + $fringe, $rgb[1] - $fringe / 3, $rgb[2] - $fringe);
        } elsif (!$inks[$x] && $x > 0 && $inks[$x - 1]) {
            @rgb = ($rgb[0] - $fringe, $rgb[1] - $fringe / 3, $rgb[2] + $fringe);
        }
        my $shared = gauss();
        @rgb = map { my $v = int($_ + $shared + gauss() + 0.5); $v < 0 ? 0 : $v > 255 ? 255 : $v } @rgb;
        if ($grey) {
            my $luma = int(0.299 * $rgb[0] + 0.587 * $rgb[1] + 0.114 * $rgb[2] + 0.5);
            @rgb = ($luma) x 3;
        }
        $row .= pack('C3', $rgb[2], $rgb[1], $rgb[0]);
    }
    print $fh $row, $padding;
}
close($fh) or die "$out: $!\n";
