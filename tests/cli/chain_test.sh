#!/usr/bin/env bash
# The whole job through the command line on both systems: sample -> export
# -> solve -> import in the school folder C:\Peña, once by the Linux program
# (drive C on a folder of its own) and once by pasarela.exe under Wine (its
# own drive C). Every file written must be byte-identical (the dated backup
# folder's name aside), and `dump --format csv` must print the same bytes,
# with "\r\n" line ends only.
#   chain_test.sh LINUX_PASARELA WINDOWS_PASARELA WORK_FOLDER [WINE]
set -euo pipefail
linux=$1 windows=$2 work=$3 wine=${4:-wine}
: "${WINEPREFIX:=$HOME/.wine}"
export WINEPREFIX
school='C:\Peña'

rm -rf "$work"
mkdir -p "$work/linux_c"
wine_c=$(realpath "$WINEPREFIX/drive_c")
rm -rf "$wine_c/Peña" "$wine_c/KTEMP"

chain() {  # chain RUNNER...: the four steps, then the dump
  "$@" sample "$school" --seed 7
  "$@" export --source "$school"
  "$@" solve --seed 7
  "$@" import --source "$school"
}
(
  export PASARELA_DRIVE_C="$work/linux_c"
  chain "$linux" >"$work/linux.out"
  "$linux" dump "$school\\horgrup.dbf" --format csv >"$work/linux.csv"
)
(
  # Wine reads the command line and file names in the locale's encoding.
  unset PASARELA_DRIVE_C
  export LC_ALL=C.UTF-8
  chain "$wine" "$windows" >"$work/windows.out"
  "$wine" "$windows" dump "$school\\horgrup.dbf" --format csv >"$work/windows.csv"
)

# File lists with the dated backup folder named alike on both sides.
list() {
  (cd "$1" && find Peña KTEMP -type f | sed -E 's#(COPIAS/)[^/]+#\1DATED#' | LC_ALL=C sort)
}
list "$work/linux_c" >"$work/linux.files"
list "$wine_c" >"$work/windows.files"
status=0
if ! diff -u "$work/linux.files" "$work/windows.files"; then
  echo "the two systems wrote different files"
  status=1
fi
count=0
while IFS= read -r file; do
  real=$(cd "$work/linux_c" && ls -d ${file/DATED/*})
  wreal=$(cd "$wine_c" && ls -d ${file/DATED/*})
  count=$((count + 1))
  if ! cmp -s "$work/linux_c/$real" "$wine_c/$wreal"; then
    echo "differs: $file"
    status=1
  fi
done <"$work/linux.files"
echo "$count files compared"
[ "$count" -ge 30 ] || { echo "too few files: the chain did not run through"; status=1; }
if ! cmp -s "$work/linux.csv" "$work/windows.csv"; then
  echo "dump --format csv differs between the two systems"
  status=1
fi
if LC_ALL=C grep -q $'\r\r' "$work/windows.csv"; then
  echo "dump --format csv wrote \\r\\r\\n under Windows"
  status=1
fi
lines=$(LC_ALL=C grep -c '' "$work/windows.csv")
crlf=$(LC_ALL=C grep -c $'\r$' "$work/windows.csv" || true)
if [ "$lines" -lt 2 ] || [ "$lines" != "$crlf" ]; then
  echo "dump --format csv: $crlf of $lines lines end in \\r\\n"
  status=1
fi
exit $status
