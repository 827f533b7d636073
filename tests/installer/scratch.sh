# Sourced by the installer tests: a scratch folder `$work`, removed at exit, and `fail`, which
# reports a problem and counts it in `$failures` (the test exits non-zero when any was found).
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
