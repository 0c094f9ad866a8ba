#!/usr/bin/env bash
# The tools as `cmake --install` lays them out from the optimised build: each
# runs, links no sanitizer runtime, and has a manual page that man shows
# without warnings and that names every option its --help names; KivSetup.exe
# lies in share/kivsetup, and an installed kivpack puts that one into a package.
#
#   tests/exe/check-installed-tools.sh [RELEASE_BUILD_DIR]
set -euo pipefail
release="$(realpath -m "${1:-build/release}")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "check-installed-tools: $*" >&2; exit 1; }

cmake --install "$release" --prefix "$work/prefix" >/dev/null
for tool in kivcheck kivinstall kivpack; do
  bin="$work/prefix/bin/$tool" page="$work/prefix/share/man/man1/$tool.1.gz"
  [ -x "$bin" ] || fail "$tool is not in bin/"
  [ "$("$bin" --version)" = "$tool $(sed -n 's/^project(KivSetup VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")" ] ||
    fail "$tool --version does not give the project's version"
  ! objdump -p "$bin" | grep -qE 'NEEDED.*(asan|ubsan|tsan)' || fail "$tool links a sanitizer runtime"
  [ -f "$page" ] || fail "$tool has no manual page"
  warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)"
  [ -z "$warnings" ] || fail "man warns about $tool.1: $warnings"
  for option in $("$bin" --help | grep -oE -- '--[a-z-]+' | sort -u); do
    zgrep -qF -- "$(sed 's/-/\\-/g' <<<"$option")" "$page" || fail "$tool.1 does not name $option"
  done
done
[ -f "$work/prefix/share/kivsetup/KivSetup.exe" ] || fail "KivSetup.exe is not in share/kivsetup/"

# An installed kivpack needs nothing else: its package holds the installed KivSetup.exe.
mkdir -p "$work/content/maps"
printf 'map' >"$work/content/maps/one.map"
"$work/prefix/bin/kivpack" --title "Check" --default-dir 'C:\Games' "$work/content" "$work/package" >/dev/null
cmp -s "$work/package/KivSetup.exe" "$work/prefix/share/kivsetup/KivSetup.exe" ||
  fail "the installed kivpack did not put the installed KivSetup.exe into its package"
echo "check-installed-tools: the installed tools run, unsanitized, with their manual pages and KivSetup.exe"
