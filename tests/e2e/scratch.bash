# What every end-to-end script shares, with a display or without: a scratch directory, removed at
# exit, and failing with a message. Sourced by the scripts, not a test itself.

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}
