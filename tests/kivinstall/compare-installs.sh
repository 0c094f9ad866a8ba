#!/usr/bin/env bash
# A package installed three ways must give the same tree: natively by kivinstall, by kivinstall.exe under
# Wine, and by KivSetup.exe itself under Wine, driven through its dialog (examples/demo.sh). Two packages:
# the example, and a tree of mixed case, Latin-1 names, blanks, nesting and an empty file packed by kivpack,
# natively and by kivpack.exe (the two packages must be the same bytes), whose installs must give back the
# tree itself. Run it through tests/run-under-wine.sh.
#
#   tests/kivinstall/compare-installs.sh [NATIVE_BUILD_DIR] [WINDOWS_BUILD_DIR]
set -euo pipefail

. "$(dirname "$0")/../support/compare.sh"

# install NAME PACKAGE TITLE: the three installs of PACKAGE into $work/NAME-*, compared with NAME.tree
# (when there is none, with kivinstall's).
install() {
  local name="$1" package="$2" title="$3"
  "$native/kivinstall" --accept-license --target "$work/$name-native" "$package" 2>/dev/null || fail "kivinstall on $name"
  (cd "$package" && wine "$windows/kivinstall.exe" --accept-license --target "$(win "$work/$name-windows")" </dev/null) 2>/dev/null ||
    fail "kivinstall.exe on $name"
  KIV_DEMO_PACKAGE="$package" KIV_DEMO_TITLE="$title" KIV_DEMO_HEADLESS=1 KIV_DEMO_SHOTS="$work/shots" \
    KIV_DEMO_TARGET="$work/$name-dialog" "$root/examples/demo.sh" "$windows/KivSetup.exe" >/dev/null
  [ -f "$work/$name.tree" ] || tree "$work/$name-native" >"$work/$name.tree"
  [ -s "$work/$name.tree" ] || fail "kivinstall installed nothing from $name"
  for way in native windows dialog; do
    diff -u "$work/$name.tree" <(tree "$work/$name-$way") >&2 || fail "the tree of $name by $way differs"
  done
}

install example "$root/examples/arena-pack" 'Arena Map Pack'

content="$work/content"
mkdir -p "$content/Maps/Sub Dir" "$content/Ärger" "$content/emptydir"
printf 'map' >"$content/Maps/Arena1.MAP"
printf 'deep' >"$content/Maps/Sub Dir/deep.txt"
printf 'read me' >"$content/readme.txt"
printf 'blank' >"$content/with blank.txt"
printf 'ü' >"$content/Ärger/Übung.txt"
printf 'ä' >"$content/Ärger.txt"
: >"$content/empty.dat"
args=(--title 'Packed Tree' --default-dir 'C:\Games\Packed' --open readme.txt
      --license "$root/examples/arena-pack/license.txt" --logo "$root/examples/arena-pack/logo.bmp")
"$native/kivpack" "${args[@]}" --installer "$windows/KivSetup.exe" "$content" "$work/package-native" >/dev/null 2>&1 || fail "kivpack"
wine "$windows/kivpack.exe" "${args[@]}" "$(win "$content")" "$(win "$work/package-windows")" </dev/null >/dev/null 2>&1 ||
  fail "kivpack.exe"
diff -r "$work/package-native" "$work/package-windows" >&2 || fail "kivpack and kivpack.exe packed different bytes"
# The tree back, with its directories as the installer names them (ASCII letters in lower case).
tree "$content" | perl -pe 's{^(\S+  )(.*/)}{$1 . ($2 =~ tr/A-Z/a-z/r)}e' | sort -k2 >"$work/packed.tree"
install packed "$work/package-windows" 'Packed Tree'

[ "$status" -ne 0 ] || echo "compare-installs: kivinstall, kivinstall.exe and KivSetup.exe install the same trees" \
  "($(wc -l <"$work/example.tree") files of the example, $(wc -l <"$work/packed.tree") packed by kivpack and kivpack.exe)"
exit "$status"
