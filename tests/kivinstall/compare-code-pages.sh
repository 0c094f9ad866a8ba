#!/usr/bin/env bash
# Packages in the double-byte code pages 932, 936, 949 and 950, whose names hold characters whose second byte
# is "\", "|" or an ASCII letter, in file names and in directories: each is packed from a tree by kivpack and
# by kivpack.exe (the same bytes), passes kivcheck --strict, and, with two entries added by hand (a destination
# ending with a lead byte, one through a device name) that kivcheck's plan and warnings must foretell, installs
# natively (kivinstall --codepage N), by kivinstall.exe and by KivSetup.exe's dialog under Wine in that code page
# (a locale made by `make deps`) into the tree written down below from the characters themselves. Run it through
# tests/run-under-wine.sh.
#
#   tests/kivinstall/compare-code-pages.sh [NATIVE_BUILD_DIR] [WINDOWS_BUILD_DIR]
set -euo pipefail

. "$(dirname "$0")/../support/compare.sh"
# The second byte of a character in the code page, in hex.
second() { printf '%s' "$2" | iconv -f UTF-8 -t "CP$1" | od -An -tx1 | awk '{ print $2 }'; }

# The code page, its locale, and four characters whose second bytes are given after them (949 has no "\" and
# no "|" there).
rows=(
  "932 ja_JP ソ 5c ポ 7c ア 41 ヂ 61"
  "936 zh_CN 僜 5c 億 7c 傾 41 僡 61"
  "949 ko_KR 귺 41 긜 5a 긝 61 긼 7a"
  "950 zh_TW 許 5c 逖 7c 莧 41 豉 61"
)
for row in "${rows[@]}"; do
  read -r cp locale a sa b sb c sc d sd <<<"$row"
  for pair in "$a $sa" "$b $sb" "$c $sc" "$d $sd"; do
    set -- $pair
    [ "$(second "$cp" "$1")" = "$2" ] || fail "$cp: the second byte of $1 is not $2"
  done
  locale -a | grep -qix "$locale.utf8" || { fail "$cp: the locale $locale.UTF-8 is missing (make deps)"; continue; }

  # Two entries are added to the packed ones by hand: a destination that ends with the lead byte of $a, which
  # the file name's first letter completes (data\readme.txt lands in d/ as that character and "eadme.txt"), and
  # one through the device name "NUL.$a", which no installer copies.
  lead="$(printf '%s' "$a" | iconv -t "CP$cp" | head -c1)"
  landing="d/$(printf '%sr' "$lead" | iconv -f "CP$cp" -t UTF-8)eadme.txt"

  content="$work/$cp/content"
  mkdir -p "$content/${a}X/$c" "$content/${d}Q"
  printf 'one' >"$content/${a}X/${b}a.txt"
  printf 'two' >"$content/${a}X/$c/${d}B.txt"
  printf 'three' >"$content/${d}Q/$c$b.txt"
  printf 'four' >"$content/$a$d.txt"
  printf 'read me' >"$content/readme.txt"
  # What the installer makes of it: the directories with their ASCII letters in lower case, and every other
  # character as it is.
  expected="$(
    cd "$work" && mkdir -p "expected-$cp/${a}x/$c" "expected-$cp/${d}q" && cd "expected-$cp" &&
      printf 'one' >"${a}x/${b}a.txt" && printf 'two' >"${a}x/$c/${d}B.txt" && printf 'three' >"${d}q/$c$b.txt" &&
      printf 'four' >"$a$d.txt" && printf 'read me' >readme.txt && mkdir d && printf 'read me' >"$landing" && tree .
  )"

  args=(--codepage "$cp" --title "Code page $cp" --default-dir 'C:\Games' --open readme.txt)
  package="$work/$cp/package"
  "$native/kivpack" "${args[@]}" --installer "$windows/KivSetup.exe" "$content" "$package" >/dev/null 2>&1 ||
    { fail "$cp: kivpack refused the tree"; continue; }
  LANG="$locale.UTF-8" wine "$windows/kivpack.exe" "${args[@]}" "$(win "$content")" "$(win "$work/$cp/package.exe")" \
    </dev/null >/dev/null 2>&1 || fail "$cp: kivpack.exe refused the tree"
  diff -r "$package" "$work/$cp/package.exe" >&2 || fail "$cp: kivpack and kivpack.exe packed different bytes"
  LC_ALL=C grep -qF "$(printf '%s' "$a" | iconv -t "CP$cp")" "$package/list.inf" || fail "$cp: list.inf is not in code page $cp"
  "$native/kivcheck" --codepage "$cp" --strict "$package" >/dev/null || fail "$cp: kivcheck warns about the package"

  entries="$(grep -c '^FILE' "$package/list.inf")"
  LC_ALL=C sed -i "s/^Count=.*/Count=$((entries + 2))\r/" "$package/list.inf"
  printf 'FILE%s=data\\readme.txt;$setupdir\\%s;C;1\r\n' $((entries + 1)) "d\\$lead" $((entries + 2)) \
    "NUL.$(printf '%s' "$a" | iconv -t "CP$cp")\\" >>"$package/list.inf"
  # kivcheck says what the installers do: the plan lands the file where they put it, the device is reported.
  checked="$("$native/kivcheck" --codepage "$cp" --target T "$package")"
  grep -qF -- "-> \"T/$landing\"" <<<"$checked" || fail "$cp: kivcheck's plan does not land a copy at $landing"
  [ "$(grep -c '^  dest-device: ' <<<"$checked")" = 1 ] && ! grep -q 'not-code-page-text' <<<"$checked" ||
    fail "$cp: kivcheck does not give one dest-device and no not-code-page-text"

  # Exit status 4: an entry, the device, was not copied (the trees below tell which).
  "$native/kivinstall" --codepage "$cp" --accept-license --target "$work/$cp/native" "$package" >/dev/null 2>&1 &&
    got=0 || got=$?
  [ "$got" = 4 ] || fail "$cp: kivinstall exited with $got, not 4"
  (cd "$package" && LANG="$locale.UTF-8" wine "$windows/kivinstall.exe" --accept-license \
    --target "$(win "$work/$cp/windows")" </dev/null >/dev/null 2>&1) && got=0 || got=$?
  [ "$got" = 4 ] || fail "$cp: kivinstall.exe exited with $got, not 4"
  LANG="$locale.UTF-8" KIV_DEMO_PACKAGE="$package" KIV_DEMO_TITLE="Code page $cp" KIV_DEMO_HEADLESS=1 \
    KIV_DEMO_SHOTS="$work/shots" KIV_DEMO_TARGET="$work/$cp/dialog" "$root/examples/demo.sh" "$windows/KivSetup.exe" \
    >/dev/null || fail "$cp: KivSetup.exe"
  for way in native windows dialog; do
    diff -u <(echo "$expected") <(tree "$work/$cp/$way") >&2 || fail "$cp: the tree installed by $way differs"
  done
done

[ "$status" -ne 0 ] || echo "compare-code-pages: 932, 936, 949 and 950 packed, checked and installed alike three ways"
exit "$status"
