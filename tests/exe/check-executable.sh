#!/usr/bin/env bash
# A built Windows executable, read with objdump: 32-bit x86 (PE32), ASLR, DEP, relocations kept, stripped,
# importing Windows' own DLLs only; with a budget, its size less its resources within it (unoptimised: over).
#   check-executable.sh EXE [gui|console] [CODE_BUDGET_BYTES]
set -euo pipefail
exe="$1" subsystem="${2:-}" budget="${3:-}"
objdump="${OBJDUMP:-i686-w64-mingw32-objdump}"
failures=0
fail() { echo "FAIL $(basename "$exe"): $*" >&2; failures=$((failures + 1)); }

[ -f "$exe" ] || { echo "FAIL: $exe is missing" >&2; exit 1; }
headers="$("$objdump" -p "$exe")" || { echo "FAIL: $objdump cannot read $exe" >&2; exit 1; }
sections="$("$objdump" -h "$exe")"
# One 32-bit program starts on 32-bit and 64-bit Windows and on Windows on ARM, which emulates x86.
grep -q 'file format pei-i386' <<<"$headers" || fail "not a 32-bit x86 PE executable"
for flag in DYNAMIC_BASE NX_COMPAT; do
  grep -qE "^[[:space:]]+$flag\$" <<<"$headers" || fail "not linked with $flag"
done
# High-entropy ASLR needs 64-bit addresses; a PE32 that claims it is malformed.
! grep -qE "^[[:space:]]+HIGH_ENTROPY_VA\$" <<<"$headers" || fail "claims high-entropy ASLR, which a PE32 cannot have"
grep -qE '^[[:space:]]+[0-9]+ \.reloc ' <<<"$sections" || fail "no relocations: ASLR cannot move it"
if grep -qE '^[[:space:]]+[0-9]+ (\.debug|/)' <<<"$sections" || [ -n "$("$objdump" -t "$exe" | sed -n '/^\[/p')" ]; then
  fail "not stripped"
fi
case "$subsystem" in
  gui) grep -qE '^Subsystem.*\(Windows GUI\)' <<<"$headers" || fail "not a GUI program" ;;
  console) grep -qE '^Subsystem.*\(Windows CUI\)' <<<"$headers" || fail "not a console program" ;;
esac
system=" advapi32.dll bcrypt.dll comctl32.dll comdlg32.dll crypt32.dll gdi32.dll kernel32.dll msvcrt.dll ntdll.dll
  ole32.dll oleaut32.dll shell32.dll shlwapi.dll user32.dll userenv.dll uxtheme.dll version.dll ws2_32.dll "
dlls="$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z')"
[ -n "$dlls" ] || fail "imports nothing"
for dll in $dlls; do
  [[ "$system" == *" $dll "* || "$dll" == api-ms-win-* ]] || fail "imports $dll, which would have to be shipped"
done
if [ -n "$budget" ]; then
  # The resource section as it lies in the file, rounded up to the file alignment of 512 bytes.
  size=$(stat -c %s "$exe") resources=$(awk '$2 == ".rsrc" { print $3 }' <<<"$sections")
  [ -n "$resources" ] || fail "no resources"
  resources=$(((16#${resources:-0} + 511) / 512 * 512)) code=$((size - resources))
  echo "$(basename "$exe"): $size bytes, $resources of them resources, $code of code and data (budget $budget)"
  [ "$code" -le "$budget" ] || fail "$code bytes besides its resources, over the budget of $budget"
fi
[ "$failures" -eq 0 ] || exit 1
echo "$(basename "$exe"): ok"
