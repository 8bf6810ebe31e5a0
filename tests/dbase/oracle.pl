#!/usr/bin/perl
# Perl's XBase as an independent dBase reader and writer for the tests.
#   oracle.pl read PATH     prints the live records in the table object's text form
#   oracle.pl write PATH    writes a dBase III table with a memo file
use strict;
use warnings;
use XBase;
use Encode qw(decode encode);

sub canon {
  my ($type, $v) = @_;
  return '' unless defined $v;
  if ($type eq 'L') { return $v ? 'T' : 'F'; }
  if ($type eq 'N' || $type eq 'F') {
    $v =~ s/^\s+|\s+$//g;
    return '' if $v eq '';
    my $n = 0 + $v;
    return "$n";
  }
  if ($type eq 'D') { return $v =~ /^(\d{4})(\d\d)(\d\d)$/ ? "$1-$2-$3" : ''; }
  $v = encode('UTF-8', decode('cp1252', $v));
  $v =~ s/ +$//;
  $v =~ s/\r\n/\\n/g;
  $v =~ s/\n/\\n/g;
  return $v;
}

my ($command, $path) = @ARGV;
if ($command eq 'read') {
  my $table = XBase->new($path) or die XBase->errstr;
  my @names = $table->field_names;
  my @types = $table->field_types;
  print join('|', @names), "\n";
  for my $i (0 .. $table->last_record) {
    my ($deleted, @values) = $table->get_record($i);
    next if $deleted;
    print join('|', map { canon($types[$_], $values[$_]) } 0 .. $#values), "\n";
  }
} elsif ($command eq 'write') {
  my $table = XBase->create(name => $path, field_names => ['NOMBRE', 'CANT', 'ACTIVO', 'FECHA', 'NOTAS'],
    field_types => ['C', 'N', 'L', 'D', 'M'], field_lengths => [10, 5, 1, 8, 10],
    field_decimals => [undef, 0, undef, undef, undef], version => 3) or die XBase->errstr;
  $table->set_record(0, "Perl\xF1o", 12, 1, '20230415', "nota uno");
  $table->set_record(1, '', undef, 0, '', '');
  $table->set_record(2, 'quitado', 1, 1, '20000101', 'z');
  $table->delete_record(2);
  $table->set_record(3, 'ultimo', -7, undef, '19991231', "l\xEDnea 1\nl\xEDnea 2");
  $table->close;
} else {
  die "unknown command $command";
}
