#!/usr/bin/env bash
# What a release carries. KivSetup.exe's VERSIONINFO (read back by windres) and
# kivcheck --version show the project's version. `make sign` signs copies with
# a throwaway self-signed certificate, as a PKCS#12 file with a password and as
# a PEM pair: they verify, pass the executable checks and the resource tests,
# give back the unsigned bytes without their signature, fail verification with
# one byte changed, and the signed installer installs the example package.
#
#   check-release.sh VERSION KIVSETUP_EXE KIVCHECK_EXE EXE_TESTS_EXE      (through tests/run-under-wine.sh)
set -euo pipefail
version="$1" exe="$(realpath "$2")" kivcheck="$3" exe_tests="$4"
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

IFS=. read -r major minor patch <<<"$version"
rc="$(x86_64-w64-mingw32-windres -i "$exe" -O rc)"
for line in "FILEVERSION $major, $minor, $patch, 0" "PRODUCTVERSION $major, $minor, $patch, 0" "\"FileVersion\", \"$version\"" \
    "\"ProductVersion\", \"$version\"" "\"ProductName\", \"KivSetup\"" "\"FileDescription\", \"KivSetup - "; do
  grep -qF "$line" <<<"$rc" || fail "no '$line' in the version resource of KivSetup.exe"
done
[ "$(wine "$kivcheck" --version </dev/null | tr -d '\r')" = "kivcheck $version" ] || fail "kivcheck --version is not $version"

cd "$work"
openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 -subj "/CN=KivSetup test signer" \
  -addext extendedKeyUsage=codeSigning 2>/dev/null
openssl pkcs12 -export -inkey key.pem -in cert.pem -out cert.p12 -passout pass:throwaway
sign() { make -s -C "$root" -o windows sign KIV_SIGN_INPUT="$exe" "$@" >/dev/null; }
KIV_SIGN_PASSWORD=throwaway sign KIV_SIGN_PKCS12="$work/cert.p12" KIV_SIGN_OUTPUT="$work/p12/KivSetup.exe"
sign KIV_SIGN_CERT="$work/cert.pem" KIV_SIGN_KEY="$work/key.pem" KIV_SIGN_OUTPUT="$work/pair/KivSetup.exe"
for signed in p12/KivSetup.exe pair/KivSetup.exe; do
  osslsigncode verify -CAfile cert.pem -in "$signed" >verify.txt 2>&1 || { cat verify.txt; fail "$signed does not verify"; }
  grep -q 'Message digest algorithm *: SHA256' verify.txt || fail "$signed is not signed with SHA-256"
done
"$here/check-executable.sh" p12/KivSetup.exe gui
KIV_EXE_UNDER_TEST="$(winepath -w p12/KivSetup.exe)" wine "$exe_tests" --gtest_brief=1 </dev/null || fail "resource tests"
osslsigncode remove-signature -in p12/KivSetup.exe -out unsigned.exe >/dev/null
cmp -s unsigned.exe "$exe" || fail "without its signature the signed copy is not the unsigned file"

cp p12/KivSetup.exe flipped.exe
byte=$(od -An -tu1 -j4096 -N1 flipped.exe)
printf "\\$(printf %o $((byte ^ 1)))" | dd of=flipped.exe bs=1 seek=4096 conv=notrunc status=none
! osslsigncode verify -CAfile cert.pem -in flipped.exe >verify.txt 2>&1 || fail "a copy with a changed byte verifies"

KIV_DEMO_HEADLESS=1 "$root/examples/demo.sh" "$work/p12/KivSetup.exe" >demo.txt 2>&1 || { cat demo.txt; fail "demo run"; }
grep -q '\./maps/arena2\.map' demo.txt || { cat demo.txt; fail "the signed installer installed nothing"; }
echo "check-release: version $version; the signed copies verify and install"
