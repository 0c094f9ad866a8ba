#!/usr/bin/env bash
# A release: the version in KivSetup.exe's VERSIONINFO and in kivcheck --version;
# `make sign` with a throwaway certificate (PKCS#12 with a password, PEM pair)
# gives copies that verify, pass the executable checks and the executable's tests
# (its resources; started, it installs), give back the unsigned bytes without
# their signature, and fail with one byte changed.
#   check-release.sh VERSION KIVSETUP_EXE KIVCHECK_EXE EXE_TESTS_EXE   (through tests/run-under-wine.sh)
set -euo pipefail
version="$1" exe="$(realpath "$2")" kivcheck="$3" exe_tests="$4" here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)" && trap 'rm -rf "$work"' EXIT && cd "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

# The 64-bit binutils read 32-bit and 64-bit executables alike (the tests' 64-bit stand-in too:
# tests/support/windows-test-build.sh), whose headers are not the shipped program's.
format="$(x86_64-w64-mingw32-objdump -f "$exe" | sed -n 's/.*file format //p')"
x86_64-w64-mingw32-windres -i "$exe" -O rc >rc.txt
for line in "FILEVERSION ${version//./, }, 0" "PRODUCTVERSION ${version//./, }, 0" "\"FileVersion\", \"$version\"" \
    "\"ProductVersion\", \"$version\"" "\"ProductName\", \"KivSetup\"" "\"FileDescription\", \"KivSetup - " \
    "\"LegalCopyright\", \"Copyright (c) 2026 The KivSetup developers\""; do
  grep -qF "$line" rc.txt || fail "no '$line' in the version resource"
done
[ "$(wine "$kivcheck" --version </dev/null | tr -d '\r')" = "kivcheck $version" ] || fail "kivcheck --version"

openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 -subj "/CN=KivSetup test" \
  -addext extendedKeyUsage=codeSigning 2>/dev/null
openssl pkcs12 -export -inkey key.pem -in cert.pem -out cert.p12 -passout pass:throwaway
sign() { make -s -C "$here/../.." -o windows sign KIV_SIGN_INPUT="$exe" "$@" >/dev/null; }
KIV_SIGN_PASSWORD=throwaway sign KIV_SIGN_PKCS12="$work/cert.p12" KIV_SIGN_OUTPUT="$work/signed.exe"
sign KIV_SIGN_CERT="$work/cert.pem" KIV_SIGN_KEY="$work/key.pem" KIV_SIGN_OUTPUT="$work/pair.exe"
osslsigncode verify -CAfile cert.pem -in pair.exe >/dev/null || fail "pair.exe does not verify"
osslsigncode verify -CAfile cert.pem -in signed.exe >verify.txt || { cat verify.txt; fail "signed.exe does not verify"; }
grep -q 'Message digest algorithm *: SHA256' verify.txt || fail "not signed with SHA-256"
[ "$format" = pei-x86-64 ] || "$here/check-executable.sh" signed.exe gui
KIV_EXE_UNDER_TEST="$(winepath -w signed.exe)" wine "$exe_tests" --gtest_brief=1 </dev/null || fail "the executable's tests"
osslsigncode remove-signature -in signed.exe -out unsigned.exe >/dev/null
cmp -s unsigned.exe "$exe" || fail "without its signature the signed copy is not the unsigned file"

cp signed.exe flipped.exe
printf "\\$(printf %o $(($(od -An -tu1 -j4096 -N1 signed.exe) ^ 1)))" | dd of=flipped.exe bs=1 seek=4096 conv=notrunc status=none
! osslsigncode verify -CAfile cert.pem -in flipped.exe >/dev/null 2>&1 || fail "a copy with a changed byte verifies"

echo "check-release: version $version; the signed copies verify, start and install"
