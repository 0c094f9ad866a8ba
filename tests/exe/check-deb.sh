#!/usr/bin/env bash
# The .deb as `make deb` makes it is one a distribution or a repository takes:
# lintian finds nothing in it, neither an error or a warning nor, among its
# informational and experimental tags, a binary built without hardening
# (bind-now, fortify) or with its .comment section left in.
# Where lintian is not installed (`make deps` installs it), nothing is checked.
#   tests/exe/check-deb.sh DEB...
set -euo pipefail
command -v lintian >/dev/null || { echo "check-deb: lintian is not installed; the .deb is not checked"; exit 0; }
# lintian's own remark about running as root (on standard error) is no finding.
found="$(lintian -E -I --fail-on none "$@")"
[ -z "$found" ] || printf '%s\n' "$found"
! grep -qE '^[A-Z]: ' <<<"$found" || { echo "FAIL: lintian finds something in $*" >&2; exit 1; }
echo "check-deb: lintian (-E -I) finds nothing in $*"
