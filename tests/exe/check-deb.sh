#!/usr/bin/env bash
# The .deb as `make deb` makes it is one a distribution or a repository takes:
# lintian, its experimental tags included, finds no error and no warning in it.
# Where lintian is not installed (`make deps` installs it), nothing is checked.
#   tests/exe/check-deb.sh DEB...
set -euo pipefail
command -v lintian >/dev/null || { echo "check-deb: lintian is not installed; the .deb is not checked"; exit 0; }
# lintian's own complaint about running as root (on standard error) is no finding.
found="$(lintian -E --fail-on none "$@")"
[ -z "$found" ] || printf '%s\n' "$found"
! grep -qE '^[EWX]: ' <<<"$found" || { echo "FAIL: lintian finds errors or warnings in $*" >&2; exit 1; }
echo "check-deb: lintian finds nothing in $*"
