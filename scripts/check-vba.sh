#!/usr/bin/env bash
# Checks that vba/Vorkab.bas declares the exports as src/vorkabcom.h does:
# every function of the header is declared in the module with the same name,
# the same number of arguments and matching kinds (wide text and pointers as
# ByVal LongPtr, 32-bit integers as ByVal Long, 32-bit outputs as ByRef Long,
# the 8-bit buffer as ByVal String; int32_t results as Function ... As Long,
# void as Sub).  The module may declare exports the header does not have yet,
# but only names of the complete export list (scripts/vorkabcom-exports.txt).
set -euo pipefail
cd "$(dirname "$0")/.."
exec perl -w - src/vorkabcom.h vba/Vorkab.bas scripts/vorkabcom-exports.txt <<'PERL'
use strict;
my ($header, $module, $listFile) = @ARGV;
sub slurp { my ($f) = @_; open(my $h, '<', $f) or die "$f: $!\n"; local $/; my $t = <$h>; close $h; return $t; }
my @fail;

# The complete export list.
my %known;
for (split /\n/, slurp($listFile)) { s/\s+//g; next if $_ eq '' || /^#/; $known{$_} = 1; }

# Header: "VKEXPORT <result> VKAPI <Name>(<arguments>);", comments removed.
my $h = slurp($header);
$h =~ s{/\*.*?\*/}{}gs;
$h =~ s{//[^\n]*}{}g;
$h =~ s/^\s*#.*$//mg;
my $parens = qr/(\((?:[^()]++|(?-1))*\))/;
my %c;
while ($h =~ /VKEXPORT\s+([^;(){}]+?)\s+VKAPI\s+(\w+)\s*$parens\s*;/gs) {
  my ($result, $name, $args) = ($1, $2, substr($3, 1, -1));
  my @kinds;
  my ($depth, $part, @parts) = (0, '');
  for my $ch (split //, $args) {
    $depth++ if $ch eq '(';
    $depth-- if $ch eq ')';
    if ($ch eq ',' && $depth == 0) { push @parts, $part; $part = ''; } else { $part .= $ch; }
  }
  push @parts, $part;
  @parts = () if @parts == 1 && $parts[0] =~ /^\s*(void)?\s*$/;
  for my $a (@parts) {
    $a =~ s/\s+/ /g;
    my $k = $a =~ /\(/                          ? 'pointer'
          : $a =~ /\bwchar_t\s*\*/              ? 'pointer'
          : $a =~ /\bchar\s*\*/                 ? 'string'
          : $a =~ /\bint32_t\s*\*/              ? 'long-out'
          : $a =~ /\bint32_t\b/                 ? 'long'
          : "unknown type '$a'";
    push @kinds, $k;
  }
  my $r = $result =~ /^\s*void\s*$/ ? 'Sub' : $result =~ /^\s*int32_t\s*$/ ? 'Long' : "unknown result '$result'";
  push @fail, "src/vorkabcom.h declares $name twice" if $c{$name};
  $c{$name} = { result => $r, kinds => \@kinds };
}
push @fail, "no exports found in $header" unless %c;

# Module: Declare lines, joined across " _" continuations.
my $m = slurp($module);
$m =~ s/\r//g;
$m =~ s/ _\n\s*/ /g;
my %v;
for my $line (split /\n/, $m) {
  next unless $line =~ /^\s*(?:Public\s+|Private\s+)?Declare\b/;
  unless ($line =~ /^\s*Public\s+Declare\s+PtrSafe\s+(Function|Sub)\s+(\w+)\s+Lib\s+"([^"]+)"\s*\(([^)]*)\)\s*(?:As\s+(\w+))?\s*$/) {
    push @fail, "Vorkab.bas: cannot read the declaration: $line";
    next;
  }
  my ($what, $name, $lib, $args, $as) = ($1, $2, $3, $4, $5);
  push @fail, "Vorkab.bas: $name is declared in \"$lib\", not \"VORKABCOM.dll\"" if $lib ne 'VORKABCOM.dll';
  my $r = $what eq 'Sub' ? (defined $as ? "Sub with a result" : 'Sub') : (defined $as ? $as : 'Variant');
  my @kinds;
  for my $a (split /,/, $args) {
    next if $a =~ /^\s*$/;
    $a =~ s/^\s+|\s+$//g;
    my $k = $a =~ /^ByVal\s+\w+\s+As\s+LongPtr$/ ? 'pointer'
          : $a =~ /^ByVal\s+\w+\s+As\s+String$/  ? 'string'
          : $a =~ /^ByVal\s+\w+\s+As\s+Long$/    ? 'long'
          : $a =~ /^(ByRef\s+)?\w+\s+As\s+Long$/ ? 'long-out'
          : "unknown argument '$a'";
    push @kinds, $k;
  }
  push @fail, "Vorkab.bas declares $name twice" if $v{$name};
  $v{$name} = { result => $r, kinds => \@kinds };
}

for my $name (sort keys %v) {
  push @fail, "Vorkab.bas declares $name, which is not an export of VORKABCOM.dll" unless $known{$name};
}
my @pending;
for my $name (sort keys %known) {
  push @fail, "Vorkab.bas does not declare $name" unless $v{$name};
}
for my $name (sort keys %c) {
  push @fail, "src/vorkabcom.h declares $name, which is not in scripts/vorkabcom-exports.txt" unless $known{$name};
  next unless $v{$name};
  my ($hc, $vb) = ($c{$name}, $v{$name});
  push @fail, "$name: the header returns $hc->{result}, Vorkab.bas $vb->{result}" if $hc->{result} ne $vb->{result};
  my ($nh, $nv) = (scalar @{$hc->{kinds}}, scalar @{$vb->{kinds}});
  if ($nh != $nv) {
    push @fail, "$name: $nh arguments in the header, $nv in Vorkab.bas";
    next;
  }
  for my $i (0 .. $nh - 1) {
    my ($a, $b) = ($hc->{kinds}[$i], $vb->{kinds}[$i]);
    push @fail, "$name: argument " . ($i + 1) . " is $a in the header, $b in Vorkab.bas" if $a ne $b;
  }
}
for my $name (sort keys %v) { push @pending, $name if $known{$name} && !$c{$name}; }

if (@fail) { print STDERR "vba/Vorkab.bas and src/vorkabcom.h disagree:\n"; print STDERR "  $_\n" for @fail; exit 1; }
printf "vba/Vorkab.bas: %d declarations, %d checked against src/vorkabcom.h, %d not in the header yet\n",
  scalar(keys %v), scalar(keys %c), scalar(@pending);
PERL
