#!/usr/bin/env bash
# The installer starts on Windows XP SP3: its headers let XP load it (subsystem version 5.01 or lower), and
# every function it imports is in TABLE with a first Windows no newer than XP SP3. An import missing from
# the table fails too, so that a new one is looked up in Microsoft's documentation before it ships.
#   check-imports.sh EXE TABLE
set -euo pipefail
exe="$1" table="$2"
objdump="${OBJDUMP:-i686-w64-mingw32-objdump}"
failures=0
fail() { echo "FAIL $(basename "$exe"): $*" >&2; failures=$((failures + 1)); }

headers="$("$objdump" -p "$exe")" || { echo "FAIL: $objdump cannot read $exe" >&2; exit 1; }
version() { awk -v key="$1" '$1 == key { print $2 }' <<<"$headers"; }
subsystem=$(($(version MajorSubsystemVersion) * 100 + $(version MinorSubsystemVersion)))
[ "$subsystem" -le 501 ] || fail "subsystem version $(version MajorSubsystemVersion).$(version MinorSubsystemVersion): Windows XP (5.01) refuses to load it"

rank() {
  case "$1" in
    2000) echo 1 ;; xp) echo 2 ;; xpsp1) echo 3 ;; xpsp2) echo 4 ;; xpsp3) echo 5 ;;
    vista) echo 6 ;; 7) echo 7 ;; 8) echo 8 ;; 8.1) echo 9 ;; 10) echo 10 ;; *) echo 99 ;;
  esac
}
# "dll!function" for every import, the DLL's name in lower case.
imports="$(sed -n '/^The Import Tables/,/^The Export Tables\|^PE File Base Relocations\|^The Function Table/p' <<<"$headers" |
  awk '/DLL Name:/ { dll = tolower($3) } /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ { print dll "!" $3 }')"
[ -n "$imports" ] || fail "no imports read"
checked=0
while IFS= read -r import; do
  first="$(awk -v dll="${import%%!*}" -v name="${import#*!}" '$1 == dll && $2 == name { print $3 }' "$table")"
  if [ -z "$first" ]; then
    fail "imports $import, which $(basename "$table") does not list"
  elif [ "$(rank "$first")" -gt "$(rank xpsp3)" ]; then
    fail "imports $import, first exported by Windows $first: look it up at run time"
  fi
  checked=$((checked + 1))
done <<<"$imports"
[ "$failures" -eq 0 ] || exit 1
echo "$(basename "$exe"): subsystem version $subsystem, $checked imports, all on Windows XP SP3"
