#!/usr/bin/env bash
# Checks the export tables: the Windows DLL exports exactly the names of
# src/vorkabcom.def, undecorated, all of them from the complete export list
# (scripts/vorkabcom-exports.txt), and imports only system DLLs; the Linux
# library exports only the VK functions and SetExcel12EntryPt.  Prints how
# many of the complete list the DLL has.
set -euo pipefail
cd "$(dirname "$0")/.."
dll=${1:-build-windows/i686/VORKABCOM.dll}
so=${2:-build/libvorkabcom.so}
fail=0

want=$(sed -n 's/^ *\(VK[A-Za-z0-9]*\|SetExcel12EntryPt\) *$/\1/p' src/vorkabcom.def | sort)
got=$(i686-w64-mingw32-objdump -p "$dll" | awk '/\[Ordinal\/Name Pointer\] Table/{t=1;next} t&&/^\t\[/{print $NF} t&&/^$/{t=0}' | sort)
all=$(grep -v -e '^#' -e '^ *$' scripts/vorkabcom-exports.txt | sort)
total=$(echo "$all" | grep -c .)
decorated=$(echo "$got" | grep -E '^_|@' || true)
if [ -n "$decorated" ]; then echo "VORKABCOM.dll exports decorated names:"; echo "$decorated"; fail=1; fi
unknown=$(comm -13 <(echo "$all") <(echo "$got") | grep . || true)
if [ -n "$unknown" ]; then echo "VORKABCOM.dll exports names that are not VORKABCOM exports:"; echo "$unknown"; fail=1; fi
if [ "$want" != "$got" ]; then
  echo "VORKABCOM.dll exports differ from src/vorkabcom.def:"; diff <(echo "$want") <(echo "$got") || true; fail=1
fi
imports=$(i686-w64-mingw32-objdump -p "$dll" | sed -n 's/^\tDLL Name: //p' | tr 'a-z' 'A-Z' | sort -u)
for dll_name in $imports; do
  case "$dll_name" in
    KERNEL32.DLL|USER32.DLL|WININET.DLL|MSVCRT.DLL|ADVAPI32.DLL|WS2_32.DLL|API-MS-WIN-*) ;;
    *) echo "VORKABCOM.dll imports a non-system DLL: $dll_name"; fail=1 ;;
  esac
done

so_exports=$(nm -D --defined-only "$so" | awk '$2 ~ /^[TW]$/ {print $3}' | sort)
stray=$(echo "$so_exports" | grep -v -E '^(VK[A-Za-z0-9]+|SetExcel12EntryPt)$' || true)
if [ -n "$stray" ]; then echo "libvorkabcom.so exports more than the VK functions:"; echo "$stray"; fail=1; fi
if [ "$(echo "$so_exports" | grep -c '^VK' || true)" != "$(echo "$want" | grep -c '^VK')" ]; then
  echo "libvorkabcom.so and src/vorkabcom.def disagree:"; diff <(echo "$want") <(echo "$so_exports") || true; fail=1
fi

count=$(echo "$got" | grep -c . || true)
echo "exports: $count of $total in VORKABCOM.dll, imports: $(echo $imports)"
exit $fail
