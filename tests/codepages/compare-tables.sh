#!/usr/bin/env bash
# The tools' code-page tables against Windows' own: for each ANSI code page, kiv_code_page_table of the native
# build (the tools' table) and of the Windows build under Wine (MultiByteToWideChar, IsDBCSLeadByteEx and
# WideCharToMultiByte without best fit) print every byte, every pair of a lead byte and a second byte, and
# every character of the Basic Multilingual Plane with what it reads or is written as. Any entry that differs
# fails, with the first few named. Run it through tests/run-under-wine.sh.
#
#   tests/codepages/compare-tables.sh [NATIVE_BUILD_DIR] [WINDOWS_BUILD_DIR]
set -euo pipefail

. "$(dirname "$0")/../support/compare.sh"

code_pages="874 1250 1251 1252 1253 1254 1255 1256 1257 1258 932 936 949 950"
shown=5

for cp in $code_pages; do
  "$native/tests/codepages/kiv_code_page_table" "$cp" >"$work/$cp.native" || { fail "$cp: the native table"; continue; }
  wine "$windows/tests/codepages/kiv_code_page_table.exe" "$cp" </dev/null | tr -d '\r' >"$work/$cp.windows" ||
    { fail "$cp: Windows' table"; continue; }
  # Both list the same entries in the same order, the bytes before the characters. A character Windows writes
  # with bytes that it reads as none (its private-use ones for single bytes) the tools may refuse to write.
  paste -d ' ' "$work/$cp.windows" "$work/$cp.native" | awk '
    $1 !~ /^U/ { reads[$1] = $2 }
    $1 != $3 || ($2 != $4 && !($1 ~ /^U/ && $4 == "-" && reads[$2] == "-")) { print $1, $2, $4 }' >"$work/$cp.diff"
  if [ -s "$work/$cp.diff" ]; then
    fail "$cp: $(wc -l <"$work/$cp.diff") entries differ from Windows' (entry, Windows, the tools); the first:"
    head -n "$shown" "$work/$cp.diff" >&2
  fi
done

[ "$status" -ne 0 ] || echo "compare-tables: the tools read and write every byte and pair of $code_pages as Windows does"
exit "$status"
