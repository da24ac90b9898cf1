# What the Windows tests share: Wine (64-bit) in a scratch prefix of their own inside the scratch
# directory, its server kept running while a script runs and ended with it, and the game's
# pictures. Sourced after tests/e2e/helpers.bash, not a test itself.

export WINEDEBUG=-all
# No prompts to install Wine's .NET and HTML engines, which nothing here needs.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

# Makes a new Wine prefix in the scratch directory (or takes the caller's WINEPREFIX when that is
# one already) and starts its server, which the script's end stops; waits until the prefix is
# complete.
start_wine() {
    if [ -z "${WINEPREFIX:-}" ] || [ ! -d "$WINEPREFIX/drive_c/windows/system32" ]; then
        export WINEPREFIX=$work/wine
    fi
    if ! wineboot --init >"$work/wineboot.log" 2>&1; then
        cat "$work/wineboot.log" >&2
        fail "Wine could not make its prefix"
    fi
    # wineboot returns before the prefix is written out; its server ends once it has been.
    wineserver --wait
    [ -d "$WINEPREFIX/drive_c/windows/system32" ] || fail "Wine made no prefix in $WINEPREFIX"
    wineserver --persistent
    # The first program started brings up Wine's own services, which stay while the server does
    # and keep whatever they were given open: not a pipe that someone waits to see closed.
    wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || fail "Wine cannot start a program"
    trap 'wineserver --kill 2>/dev/null || true; finish' EXIT
}

# Screenshot of a window's client area into FILE: shoot WINDOW FILE
shoot() {
    import -window "$1" "$2"
}

# Pixels that differ between two pictures of the same size; "size" when the sizes differ.
differing_pixels() {
    if [ "$(identify -format '%wx%h' "$1")" != "$(identify -format '%wx%h' "$2")" ]; then
        echo size
        return 0
    fi
    compare -metric AE "$1" "$2" null: 2>&1 || true
}
