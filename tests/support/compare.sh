# Sourced by the scripts that compare installs (tests/kivinstall/compare-*.sh): the two build directories
# from the command line, a work directory removed at the end, a failure that is counted, a tree written out.
#   . tests/support/compare.sh [NATIVE_BUILD_DIR] [WINDOWS_BUILD_DIR]
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
native="$(cd "$root" && realpath -m "${1:-build/native}")"
windows="$(cd "$root" && realpath -m "${2:-build/windows}")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
status=0
fail() { echo "FAIL: $*" >&2; status=1; }

# Every file with its content's checksum, relative to the directory.
tree() { (cd "$1" && find . -type f -exec sha256sum {} + | sort -k2); }
# A path of this system as Wine's Z: drive names it.
win() { echo "Z:$(tr / '\\' <<<"$1")"; }
