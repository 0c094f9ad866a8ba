#!/usr/bin/env bash
# Prints the Windows build that Wine runs the tests on: windows (32-bit, what
# users get), or windows-x64, the same sources as a 64-bit program, where
# Wine's 32-bit half cannot start (a kernel without 32-bit emulation, which
# says "32-bit emulation disabled"); the second says so on stderr.
if /usr/lib/wine/wine --version >/dev/null 2>&1 || [ ! -x /usr/lib/wine/wine64 ]; then
  echo windows
else
  echo "windows-test-build: this machine runs no 32-bit programs, so Wine runs the Windows tests on the" \
    "64-bit build of the same sources (build/windows-x64); the 32-bit build is checked without running it" >&2
  echo windows-x64
fi
