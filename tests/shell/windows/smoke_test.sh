#!/usr/bin/env bash
# Smoke test of the Windows desktop program under Wine, in an X server of its
# own (run it under xvfb-run; scripts/test does):
#   1. stand-alone start: the window comes up with its caption and closes,
#      writing no Tempolis.ini;
#   2. the export button writes the nine interchange tables, byte-equal to
#      those of pasarela.exe export, and readable by dbfread;
#   3. embedded: "exportar HANDLE" into a Win32 host window; the program's
#      window becomes a child of the host's and Tempolis.ini reads
#      Transformado=1 after the transfer; "importar HANDLE" without a
#      solution hands 0 back.
# Screen pictures go to <artifacts>/*.png.
#
#   smoke_test.sh <Windows build folder> [<artifacts folder>]
set -euo pipefail

build=$(cd "$1" && pwd)
artifacts=${2:-$build/artifacts/windows}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$artifacts"

export WINEPREFIX=${SMOKE_WINEPREFIX:-$build/wine-prefix}
export WINEDEBUG=-all
# No Mono or Gecko installer prompts in a fresh prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="
export QT_QPA_PLATFORM=windows
drive_c=$WINEPREFIX/drive_c
app=$drive_c/PasarelaHoraria

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
step() { printf '\n== %s\n' "$*"; }
picture() { # <name>: the host's BMP as PNG
  if [[ -f $app/$1.bmp ]]; then
    /usr/bin/python3 "$here/bmp_to_png.py" "$app/$1.bmp" "$artifacts/$1.png" && echo "picture: $artifacts/$1.png"
  fi
}

step "prefix and program in $WINEPREFIX"
[[ -d $drive_c ]] || wine wineboot --init >/dev/null 2>&1
rm -rf "$app" "$drive_c/OB" "$drive_c/KTEMP"
cmake --install "$build" --prefix "$app" >/dev/null
cp "$build/tests/shell/windows/win32_host.exe" "$build/tests/shell/windows/scripted_program.exe" "$app/"
wine "$app/pasarela.exe" sample 'C:\OB'

step "stand-alone start"
wine "$app/win32_host.exe" alone 'C:\PasarelaHoraria\PasarelaHoraria.exe' 'C:\PasarelaHoraria\standalone.bmp' ||
  fail "stand-alone start"
picture standalone

tables=(ASIGVALT ASIGNOMT PROFT AULAT ALUMNOST ASIGCURT GRUPOST CURSOST ASIGT)
step "export button, stand-alone"
wine "$app/win32_host.exe" alone 'C:\PasarelaHoraria\scripted_program.exe' 'C:\PasarelaHoraria\export.bmp' \
  'C:\KTEMP\ASIGT.DBF' || fail "export button"
picture export
rm -rf "$build/smoke-gui-export" && mkdir -p "$build/smoke-gui-export"
for t in "${tables[@]}"; do
  if [[ -f $drive_c/KTEMP/$t.DBF ]]; then
    cp "$drive_c/KTEMP/$t.DBF" "$build/smoke-gui-export/"
  else
    fail "the export button did not write $t.DBF"
  fi
done
# The same export from the command line: the same bytes.
for t in "${tables[@]}"; do rm -f "$drive_c/KTEMP/$t.DBF" "$drive_c/KTEMP/$t.MDX"; done
wine "$app/pasarela.exe" export --source 'C:\OB' >/dev/null
for t in "${tables[@]}"; do
  [[ -f $build/smoke-gui-export/$t.DBF ]] || continue
  cmp -s "$build/smoke-gui-export/$t.DBF" "$drive_c/KTEMP/$t.DBF" ||
    fail "$t.DBF of the export button differs from pasarela.exe's"
  rows=$(/usr/bin/python3 -c 'import sys, dbfread; print(len(dbfread.DBF(sys.argv[1], encoding="cp1252")))' \
    "$build/smoke-gui-export/$t.DBF") || fail "dbfread cannot read $t.DBF"
  echo "$t.DBF: ${rows:-?} records"
done

step "embedded: exportar into the host's window"
wine "$app/win32_host.exe" embed 'C:\PasarelaHoraria\scripted_program.exe' exportar 1 \
  'C:\PasarelaHoraria\embedded.bmp' || fail "embedded export"
picture embedded

step "embedded: importar without a solution"
rm -f "$drive_c/KTEMP/SOLUC.DBF"
wine "$app/win32_host.exe" embed 'C:\PasarelaHoraria\scripted_program.exe' importar 0 \
  'C:\PasarelaHoraria\embedded-import.bmp' || fail "embedded import"
picture embedded-import

wineserver -k 2>/dev/null || true
if ((failures)); then
  echo "Windows desktop program: $failures check(s) failed" >&2
  exit 1
fi
echo "Windows desktop program: all checks passed"
