#!/usr/bin/perl
# Gives Windows executables and DLLs one time stamp: the header's, which strip also writes
# (from SOURCE_DATE_EPOCH), and the export directory's, which the linker filled in with the
# time of the link and strip leaves as it is, so that Qt's DLLs would otherwise carry the
# time Qt was built. The header's checksum is computed again afterwards.
#   pe-stamp.pl SECONDS FILE...
#   pe-stamp.pl --check FILE...   only check the checksums (the same sum as binutils')
use strict;
use warnings;

my $check_only = @ARGV && $ARGV[0] eq '--check';
shift @ARGV if $check_only;
my $stamp = $check_only ? undef : shift @ARGV;
die "usage: pe-stamp.pl SECONDS FILE... | pe-stamp.pl --check FILE...\n"
  unless @ARGV && ($check_only || (defined $stamp && $stamp =~ /^\d+$/ && $stamp < 2**32));

# The sum Windows checks: 16-bit words added with their carries, the checksum field counted
# as zero, plus the file's length.
sub pe_checksum {
  my ($data, $field) = @_;
  my $copy = $data;
  substr($copy, $field, 4) = "\0\0\0\0";
  $copy .= "\0" if length($copy) % 2;
  my $sum = 0;
  for my $word (unpack('v*', $copy)) {
    $sum += $word;
    $sum = ($sum & 0xffff) + ($sum >> 16);
  }
  return ($sum + length($data)) & 0xffffffff;
}

for my $file (@ARGV) {
  open(my $fh, '+<:raw', $file) or die "$file: $!\n";
  my $data = do { local $/; <$fh> };
  my $pe = unpack('V', substr($data, 0x3c, 4));
  die "$file: not a Windows executable\n" unless substr($data, $pe, 4) eq "PE\0\0";
  my ($sections, $optional_size) = unpack('x2 v x12 v', substr($data, $pe + 4, 20));
  my $optional = $pe + 24;
  my $magic = unpack('v', substr($data, $optional, 2));
  my $directories = $optional + ($magic == 0x20b ? 112 : 96);
  my $checksum_field = $optional + 64;

  if ($check_only) {
    my $stored = unpack('V', substr($data, $checksum_field, 4));
    my $computed = pe_checksum($data, $checksum_field);
    die sprintf("%s: checksum %08x, computed %08x\n", $file, $stored, $computed)
      unless $stored == $computed;
    next;
  }

  substr($data, $pe + 8, 4) = pack('V', $stamp);
  # The export directory: the first data directory; its stamp is its second field.
  my ($export_rva) = unpack('V', substr($data, $directories, 4));
  if ($export_rva) {
    my $offset;
    for my $i (0 .. $sections - 1) {
      my ($virtual_size, $address, $raw_size, $raw_offset) =
        unpack('V4', substr($data, $optional + $optional_size + 40 * $i + 8, 16));
      my $size = $virtual_size > $raw_size ? $virtual_size : $raw_size;
      if ($export_rva >= $address && $export_rva < $address + $size) {
        $offset = $raw_offset + $export_rva - $address;
        last;
      }
    }
    die "$file: the export directory lies in no section\n" unless defined $offset;
    substr($data, $offset + 4, 4) = pack('V', $stamp);
  }
  substr($data, $checksum_field, 4) = pack('V', pe_checksum($data, $checksum_field));

  seek($fh, 0, 0) or die "$file: $!\n";
  print {$fh} $data or die "$file: $!\n";
  close($fh) or die "$file: $!\n";
}
