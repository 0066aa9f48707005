#!/usr/bin/perl
# Writes a few seed inputs for every fuzz target into DIR/TARGET/, so that
# each run starts from inputs that reach the checks behind the first
# branches: a block of each format, a header of each layout, a spool name
# that passes, a whole EXIF segment with its thumbnail.
#   fuzz/make-seeds.pl DIR
#
# Most targets read their input through libFuzzer's FuzzedDataProvider,
# which takes numbers from the end of the input, last byte first (the first
# byte it takes is a number's most significant), and byte blocks and strings
# from the front. A seed is therefore its front bytes followed by its numbers
# in reverse order of consumption.
use strict;
use warnings;

my $dir = shift or die "usage: $0 DIR\n";

sub write_seed {
    my ($target, $name, $bytes) = @_;
    mkdir "$dir";
    mkdir "$dir/$target";
    open(my $out, '>:raw', "$dir/$target/$name") or die "$dir/$target/$name: $!\n";
    print $out $bytes;
    close $out or die "$dir/$target/$name: $!\n";
}

# Front bytes, then the numbers, each [value, bytes] in the order the target
# takes them.
sub provided {
    my ($front, @numbers) = @_;
    my $tail = '';
    for my $number (@numbers) {
        my ($value, $size) = @$number;
        for my $k (0 .. $size - 1) {
            # Most significant first, as the provider assembles it.
            $tail .= chr(($value >> (8 * ($size - 1 - $k))) & 0xFF);
        }
    }
    return $front . reverse($tail);
}

sub byte { return [$_[0], 1]; }

# A signed 32-bit number as ConsumeIntegral<int32_t> reads it: the minimum
# plus the raw value.
sub int32 { return [($_[0] + 2**31) & 0xFFFFFFFF, 4]; }
# And a positive 64-bit one as ConsumeIntegral<int64_t> reads it.
sub int64 { return [(1 << 63) | $_[0], 8]; }

# HostInt(in, usual) taking its usual branch (0 .. usual) with `value`.
sub host_int {
    my ($value, $usual) = @_;
    my $size = $usual < 256 ? 1 : $usual < 65536 ? 2 : 3;
    return (byte(0), [$value, $size]);
}

sub pattern {
    my ($count, $step) = @_;
    return join '', map { chr(($_ * $step + 11) & 0xFF) } 0 .. $count - 1;
}

# A block case of `width` × `lines` whose line length and pixel area fit
# exactly: packed lines or padded ones, then the host's lines attached.
sub block_case {
    my ($width, $lines, $packed) = @_;
    return (host_int($width, 64), host_int($lines, 16), host_int(0, 16), byte(1), byte($packed ? 1 : 0), byte(3),
        byte(1), byte(3), byte(0));
}

sub line_bytes {
    my ($width, $bits, $packed) = @_;
    return $packed ? int(($width * $bits + 7) / 8) : int(($width * $bits + 31) / 32) * 4;
}

# Row kernels: one block of every accepted format, in the table order of
# tests/support/FormatReference.h, at a width that reaches every vector loop
# and its tail; lines padded as a BMP's, packed where the plug-in steps by
# the host's line length.
my @accepted = ([rgb24 => 24], [rgb48 => 48], [gray8 => 8], [gray16 => 16], [indexed8 => 8], [indexed4 => 4],
    [indexed1 => 1], [bilevel => 1]);
for my $k (0 .. $#accepted) {
    my ($name, $bits) = @{$accepted[$k]};
    my ($width, $lines, $packed) = (37, 3, $name eq 'rgb48' || $name eq 'gray16');
    my $data = pattern($lines * line_bytes($width, $bits, $packed), 37);
    write_seed('row_converters', $name, provided($data, byte($k), block_case($width, $lines, $packed)));
}

# Expansions: every one-sample format with a palette list of 16 entries
# placed on a stored table.
my @expanded = grep { $_->[1] <= 16 } @accepted;
for my $k (0 .. $#expanded) {
    my ($name, $bits) = @{$expanded[$k]};
    my ($width, $lines) = (45, 2);
    my $data = pattern($lines * line_bytes($width, $bits, 1), 29);
    my $entries = join '', map { pack('C4', $_ * 3, $_, 255 - $_, $_ * 7) } 0 .. 15;
    write_seed('row_expansion', $name,
        provided($data . pattern(1024, 13) . $entries, byte($k), block_case($width, $lines, 1), [16, 2]));
}

# Palettes: a short list in 4-byte slots, a full one in 3-byte slots, one
# past the table's 256 indices.
my %palettes = ('four-of-16' => [4, 1, 16], 'all-256' => [256, 0, 256], 'repeats-past-256' => [300, 1, 300]);
for my $name (sort keys %palettes) {
    my ($count, $info, $slots) = @{$palettes{$name}};
    my $entries = join '', map { pack('C4', ($_ * 5) & 0xFF, $_ & 0xFF, ($_ * 3) & 0xFF, 255 - ($_ & 0xFF)) } 0 .. $count - 1;
    write_seed('palette', $name, provided($entries, [$count, 2], byte($info), [$slots, 2]));
}

# Spool headers: the size check alone, and a head of each layout.
write_seed('spool_header', 'sizes-a4-600dpi',
    provided('', byte(1), [54, 4], int64(4960), int64(7016), [24, 4]));
write_seed('spool_header', 'core-24bit-3x2',
    provided('', byte(0), byte(0), byte(1), byte(3), byte(0), [0, 4], [0, 4], host_int(3, 70000), host_int(2, 70000)));
write_seed('spool_header', 'info-8bit-256-5x3',
    provided('', byte(0), byte(1), byte(1), byte(2), byte(3), [0, 4], [0, 4], host_int(5, 70000), host_int(3, 70000)));

# Spool names: strings from the front end at a backslash followed by any
# other character, and a backslash of their own is written twice.
sub provided_string {
    my ($text) = @_;
    $text =~ s/\\/\\\\/g;
    return $text . "\\\n";
}
write_seed('spool_name', 'name-in-temp',
    provided(provided_string('C:\\Temp\\') . provided_string('C:\\Temp\\~TF1A2B.tmp'), byte(0), [0x1A2B, 2], byte(1)));
write_seed('spool_name', 'name-elsewhere',
    provided(provided_string('D:\\Work\\') . provided_string('E:\\Scans\\~tf7.TMP'), byte(0), [7, 2], byte(0)));
write_seed('spool_name', 'head-info-24bit',
    provided('', byte(1), [3, 1], byte(1), host_int(4, 70000), host_int(3, 70000), byte(0), byte(1)));

# The EXIF segment: a job record with make and model, the plug-in's version
# text, a date, a page, and a thumbnail of a few bytes.
my $record = pack('a260 a28 a64 a64', 'C:\\scans\\page.jpg', '', 'Varlo', 'VS-400');
my @date = map { int32($_) } (2026, 12, 8, 9, 30, 5);
for my $grey (0, 1) {
    my $thumbnail = "\xFF\xD8" . pattern(60, 17) . "\xFF\xD9";
    write_seed('exif_segment', $grey ? 'grey-with-thumbnail' : 'colour-with-thumbnail',
        provided($record . provided_string('VARLO EXIF Plug-in Version 1.00E') . $thumbnail, int32(300), int32(600),
            @date, [4960, 4], [7016, 4], byte($grey), [length $thumbnail, 2], byte(159), byte(112)));
}
write_seed('exif_segment', 'no-thumbnail',
    provided($record . provided_string(''), int32(72), int32(72), @date, [1, 4], [1, 4], byte(0), [0, 2]));

# The converter's BMP parser: the file's size (8 bytes, little-endian), then
# its headers, core and info, bottom-up and top-down.
sub bmp_file {
    my ($info, $width, $height) = @_;
    my $stride = int(($width * 24 + 31) / 32) * 4;
    my $offset = $info ? 54 : 26;
    my $size = $offset + $stride * abs($height);
    my $head = $info
        ? pack('V l< l< v v V V l< l< V V', 40, $width, $height, 1, 24, 0, $stride * abs($height), 11811, 11811, 0, 0)
        : pack('V v v v v', 12, $width, $height, 1, 24);
    return pack('Q<', $size) . 'BM' . pack('V v v V', $size, 0, 0, $offset) . $head;
}
write_seed('converter_bmp_header', 'core-2x2', bmp_file(0, 2, 2));
write_seed('converter_bmp_header', 'info-2x2', bmp_file(1, 2, 2));
write_seed('converter_bmp_header', 'info-5x3-top-down', bmp_file(1, 5, -3));

# The first pass: a colour page, a grey one with one pixel off grey, a pixel.
my %pages = ('colour-7x5' => [7, 5, 0, 0], 'grey-16x9-one-off' => [16, 9, 1, 1], 'one-pixel' => [1, 1, 1, 0]);
for my $name (sort keys %pages) {
    my ($width, $height, $grey, $off) = @{$pages{$name}};
    my @numbers = ([$width - 1, 2], [$height - 1, 2], byte($grey));
    push @numbers, byte($off), [5, 2] if $grey;
    write_seed('page_survey', $name, provided(pattern($width * $height * 3, 23), @numbers));
}
