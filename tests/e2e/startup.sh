#!/usr/bin/env bash
# Starts the real program under its own Xvfb: the 640x480 window titled "Taldrift", the one
# start-up line on standard error, exit code 0 on Escape and on SIGTERM, and the message box with
# exit code 1 when the audio device cannot open.
set -euo pipefail
binary=$(realpath "$1")

if [ -z "${INSIDE_XVFB:-}" ]; then
    exec env INSIDE_XVFB=1 xvfb-run -a -s "-screen 0 2400x1800x24" bash "$0" "$binary"
fi

# In the sanitized build, leak checking is off for the whole program: the OpenGL context lives until
# SDL_Quit unloads Mesa's driver, whose allocations then belong to no loaded module and cannot be
# told apart from ours. Memory errors still halt the program.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Waits up to ten seconds for a top-level window with the given name; prints its id.
wait_for_window() {
    local id=""
    for _ in $(seq 100); do
        id=$(xwininfo -root -tree | grep -F "\"$1\":" | awk '{ print $1; exit }')
        [ -n "$id" ] && break
        sleep 0.1
    done
    echo "$id"
}

# Escape: window, geometry, the start-up report, nothing on standard output, exit 0.
SDL_AUDIODRIVER=dummy "$binary" >"$work/out" 2>"$work/err" &
pid=$!
window=$(wait_for_window Taldrift)
[ -n "$window" ] || fail "no window titled Taldrift"
geometry=$(xwininfo -id "$window" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
[ "$geometry" = "640x480" ] || fail "window is $geometry, not 640x480"
sleep 0.5
xdotool key --window "$window" Escape
status=0
wait $pid || status=$?
[ $status -eq 0 ] || fail "Escape ended the program with exit code $status"
grep -q -x '(tyx/src/tyx_main.cpp:[0-9]*) OpenGL error: GL_NO_ERROR' "$work/err" ||
    fail "no start-up report on standard error: $(cat "$work/err")"
[ "$(wc -l <"$work/err")" -eq 1 ] || fail "more than one line on standard error: $(cat "$work/err")"
[ ! -s "$work/out" ] || fail "unexpected standard output: $(cat "$work/out")"

# SIGTERM arrives as a quit event: a normal exit.
SDL_AUDIODRIVER=dummy "$binary" >/dev/null 2>&1 &
pid=$!
[ -n "$(wait_for_window Taldrift)" ] || fail "no window for the SIGTERM run"
kill -TERM $pid
status=0
wait $pid || status=$?
[ $status -eq 0 ] || fail "SIGTERM ended the program with exit code $status"

# No audio device: the information box, then exit code 1 once it is dismissed.
SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/nonexistent/x "$binary" >/dev/null 2>&1 &
pid=$!
box=$(wait_for_window "Initialization Error")
[ -n "$box" ] || fail "no Initialization Error box when the audio device cannot open"
sleep 0.5
xdotool key --window "$box" Return
status=0
timeout 10 tail --pid=$pid -f /dev/null || fail "the program did not exit after the box was dismissed"
wait $pid || status=$?
[ $status -eq 1 ] || fail "audio failure exited with code $status, not 1"

echo "startup: all checks passed"
