#!/usr/bin/env bash
# Runs a Windows test program with Wine reporting another Windows version to it alone: a copy of the program
# under a name of its own, for which the prefix's AppDefaults name the version (winxp, win7); the program
# is told the version to expect (KIV_EXPECT_WINDOWS, "major.minor"). The copy and its key go at the end.
#   run-as-windows.sh VERSION MAJOR.MINOR PROGRAM.exe   (through tests/run-under-wine.sh)
set -euo pipefail
version="$1" expect="$2" program="$3"
work="$(mktemp -d)"
name="$(basename "$program" .exe)-on-$version-$$.exe"
key="HKCU\\Software\\Wine\\AppDefaults\\$name"
trap 'wine reg delete "$key" /f >/dev/null 2>&1 </dev/null || true; rm -rf "$work"' EXIT
cp "$program" "$work/$name"
wine reg add "$key" /v Version /d "$version" /f >/dev/null 2>&1 </dev/null
KIV_EXPECT_WINDOWS="$expect" wine "$work/$name" --gtest_brief=1 </dev/null
