#!/usr/bin/env bash
# Starts the real program on an X server of its own: the 640x480 window titled "Taldrift", the one
# start-up line on standard error, exit code 0 on Escape and on SIGTERM; and the start-up failures,
# each with the "Initialization Error" box where a display can show one, its reason on standard
# error and exit code 1, the box dismissed or the program ended by SIGTERM: no audio device, no
# display (SDL's offscreen or dummy video driver), no resources folder. A single missing resource
# file is no start-up failure: the program starts and reports the OpenGL error.
# Usage: startup.sh path/to/taldrift
set -euo pipefail
binary=$(realpath "$1")
source "$(dirname "$0")/helpers.bash"
start_x_server -screen 0 2400x1800x24

# In the sanitized build, leak checking is off for the whole program: the OpenGL context lives until
# SDL_Quit unloads Mesa's driver, whose allocations then belong to no loaded module and cannot be
# told apart from ours. Memory errors still halt the program.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"
export SDL_AUDIODRIVER=dummy
repository=$PWD

# Escape: window, geometry, the start-up report, nothing on standard output, exit 0.
"$binary" >"$work/out" 2>"$work/err" &
pid=$!
started+=("$pid")
window=$(wait_for_window Taldrift)
[ -n "$window" ] || fail "no window titled Taldrift (program $(state_of "$pid")): $(cat "$work/err")"
geometry=$(xwininfo -id "$window" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
[ "$geometry" = "640x480" ] || fail "window is $geometry, not 640x480"
press_key "$window" Escape
wait_for_exit "$pid"
[ "$exit_status" -eq 0 ] || fail "Escape ended the program with exit code $exit_status"
# Gone with the program: a window the server has yet to clear away would pass for the next one's.
wait_for_no_window Taldrift
grep -q -x '(tyx/src/tyx_main.cpp:[0-9]*) OpenGL error: GL_NO_ERROR' "$work/err" ||
    fail "no start-up report on standard error: $(cat "$work/err")"
[ "$(wc -l <"$work/err")" -eq 1 ] || fail "more than one line on standard error: $(cat "$work/err")"
[ ! -s "$work/out" ] || fail "unexpected standard output: $(cat "$work/out")"

# SIGTERM arrives as a quit event: a normal exit.
"$binary" >/dev/null 2>"$work/err" &
pid=$!
started+=("$pid")
[ -n "$(wait_for_window Taldrift)" ] ||
    fail "no window for the SIGTERM run (program $(state_of "$pid")): $(cat "$work/err")"
kill -TERM "$pid"
wait_for_exit "$pid"
[ "$exit_status" -eq 0 ] || fail "SIGTERM ended the program with exit code $exit_status"
wait_for_no_window Taldrift

# Waits for the box, checks the reason on standard error, then ends the program the given way
# (Return dismisses the box, TERM and INT are signals) and expects exit code 1 with the box gone.
# Runs in the directory given. Usage: expect_box DIR REASON_PATTERN HOW [VAR=value...]
expect_box() {
    local dir=$1 reason=$2 how=$3
    shift 3
    (cd "$dir" && exec env "$@" "$binary") >/dev/null 2>"$work/box_err" &
    local pid=$!
    started+=("$pid")
    local box
    box=$(wait_for_window "Initialization Error")
    [ -n "$box" ] || fail "$*: no Initialization Error box: $(cat "$work/box_err")"
    grep -q "^Initialization Error: .*$reason" "$work/box_err" ||
        fail "$*: the reason is not on standard error: $(cat "$work/box_err")"
    case $how in
    Return) press_key "$box" Return ;;
    *) kill "-$how" "$pid" ;;
    esac
    wait_for_exit "$pid"
    [ "$exit_status" -eq 1 ] || fail "$* ($how): exit code $exit_status, not 1"
    wait_for_no_window "Initialization Error"
    wait_for_no_window Taldrift
}

# No audio device.
expect_box "$repository" "Unable to initialize audio!" Return \
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/nonexistent/x
expect_box "$repository" "Unable to initialize audio!" TERM \
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/nonexistent/x

# SDL on a video driver that shows nothing: the box still shows on the display there is.
expect_box "$repository" "video driver is \"offscreen\"" TERM SDL_VIDEODRIVER=offscreen
expect_box "$repository" "video driver is \"dummy\"" INT SDL_VIDEODRIVER=dummy

# No display at all: no box can show, the reason and the exit code tell.
status=0
env -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$work" timeout "$patience" "$binary" >/dev/null \
    2>"$work/err" || status=$?
[ "$status" -eq 1 ] || fail "without a display: exit code $status, not 1"
grep -q "^Initialization Error: " "$work/err" ||
    fail "without a display: no reason on standard error: $(cat "$work/err")"

# Started where there is no resources folder.
mkdir "$work/elsewhere"
expect_box "$work/elsewhere" "Unable to find resources!.*resources" Return
expect_box "$work/elsewhere" "Unable to find resources!" TERM

# One resource file missing: the program starts all the same and reports the OpenGL error.
mkdir "$work/partial"
cp -r "$repository/resources" "$work/partial/"
rm "$work/partial/resources/shaders/line.vsh"
(cd "$work/partial" && exec "$binary") >/dev/null 2>"$work/err" &
pid=$!
started+=("$pid")
window=$(wait_for_window Taldrift)
[ -n "$window" ] ||
    fail "no window with a shader file missing (program $(state_of "$pid")): $(cat "$work/err")"
press_key "$window" Escape
wait_for_exit "$pid"
[ "$exit_status" -eq 0 ] || fail "with a shader file missing, Escape gave exit code $exit_status"
grep -q -x '(tyx/src/tyx_main.cpp:[0-9]*) OpenGL error: GL_INVALID_VALUE' <(head -n 1 "$work/err") ||
    fail "with a shader file missing, the start-up report is: $(head -n 3 "$work/err")"

echo "startup: all checks passed"
