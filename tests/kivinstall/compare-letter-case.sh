#!/usr/bin/env bash
# Letter case as Windows compares file names, against kivinstall's own: for each single-byte ANSI code page,
# a package installs one file for every character of the code page that a name may hold (n<c>.txt, its
# content the byte), all into one directory, so that every two characters Windows takes for one meet and the
# later file replaces the earlier under the earlier's name. Installed natively (kivinstall --codepage N) and
# by kivinstall.exe under Wine in that code page (a locale made by `make deps`), the trees must be alike. The
# OEM code pages' characters are tried in an ANSI code page that has them; a letter of one that none has fails.
# Run it through tests/run-under-wine.sh.
#
#   tests/kivinstall/compare-letter-case.sh [NATIVE_BUILD_DIR] [WINDOWS_BUILD_DIR]
set -euo pipefail

. "$(dirname "$0")/../support/compare.sh"

ansi=("874 th_TH" "1250 pl_PL" "1251 ru_RU" "1252 en_US" "1253 el_GR" "1254 tr_TR" "1255 he_IL" "1256 ar_SA"
      "1257 lt_LT" "1258 vi_VN")
oem="437 737 775 850 852 855 857 858 860 861 862 863 864 865 866 869"

# Writes the package of code page $1 into $2: the characters are the bytes iconv reads in it, less the
# controls and what no name holds.
make_package() {
  python3 - "$1" "$2" <<'EOF'
import os, subprocess, sys
cp, package = sys.argv[1], sys.argv[2]
def decoded(b):
    out = subprocess.run(["iconv", "-f", "CP" + cp, "-t", "UTF-8"], input=bytes([b]), capture_output=True)
    return out.stdout.decode() if out.returncode == 0 else None
entries = []
for b in range(0x21, 0x100):
    c = decoded(b)
    if c is None or len(c) != 1 or ord(c) < 0x20 or 0x7F <= ord(c) <= 0x9F or c in '\\/:*?"<>|.':
        continue
    os.makedirs(os.path.join(package, "data", "%02x" % b))
    with open(os.path.join(package, "data", "%02x" % b, "n" + c + ".txt"), "wb") as f:
        f.write(b"%02x" % b)
    entries.append(b"data\\%02x\\n" % b + bytes([b]) + b".txt;$setupdir;C;1")
with open(os.path.join(package, "setup.inf"), "wb") as f:
    f.write(b"[Setup]\r\nDEFAULTINSTALL=S\r\nS=Pack\r\n[Pack]\r\nTitle=Case\r\nDefaultDir=C:\\Case\r\n")
with open(os.path.join(package, "list.inf"), "wb") as f:
    f.write(b"[Pack]\r\nCount=%d\r\n" % len(entries))
    for n, entry in enumerate(entries, 1):
        f.write(b"FILE%d=" % n + entry + b"\r\n")
EOF
}

for row in "${ansi[@]}"; do
  read -r cp locale <<<"$row"
  locale -a | grep -qix "$locale.utf8" || { fail "$cp: the locale $locale.UTF-8 is missing (make deps)"; continue; }
  package="$work/$cp/package"
  make_package "$cp" "$package"
  "$native/kivinstall" --codepage "$cp" --accept-license --target "$work/$cp/native" "$package" >/dev/null 2>&1 ||
    fail "$cp: kivinstall failed"
  (cd "$package" && LANG="$locale.UTF-8" timeout 300 wine "$windows/kivinstall.exe" --accept-license \
    --target "$(win "$work/$cp/windows")" >/dev/null 2>&1) || fail "$cp: kivinstall.exe failed or timed out"
  if ! diff <(tree "$work/$cp/windows") <(tree "$work/$cp/native") >"$work/$cp/diff"; then
    fail "$cp: kivinstall keeps other names than Windows (<: Windows, >: kivinstall):"
    # The checksums name the byte each kept file holds: its content, shown beside the name.
    cat "$work/$cp/diff" >&2
  fi
done

# Every letter of the OEM code pages is one of an ANSI code page above.
python3 - $oem <<'EOF' || status=1
import subprocess, sys
def chars(cp):
    found = set()
    for b in range(0x80, 0x100):
        out = subprocess.run(["iconv", "-f", "CP" + cp, "-t", "UTF-8"], input=bytes([b]), capture_output=True)
        if out.returncode == 0:
            found.update(out.stdout.decode())
    return found
tried = set().union(*(chars(cp) for cp in "874 1250 1251 1252 1253 1254 1255 1256 1257 1258".split()))
for cp in sys.argv[1:]:
    missing = sorted(c for c in chars(cp) - tried if c.upper() != c or c.lower() != c)
    if missing:
        print("FAIL: letters of code page %s that no ANSI code page tried holds: %s" % (cp, " ".join(missing)), file=sys.stderr)
        sys.exit(1)
EOF
exit $status
